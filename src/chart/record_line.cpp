#include "chart/record_line.h"

#include "platform/locale_formats.h"

#include <QStringList>

QString RecordLine(const QDateTime& when, std::span<const double> values, const char* marker,
                   const QLocale& locale) {
    QStringList fields;
    fields.reserve(static_cast<qsizetype>(values.size()) + 3);
    fields << ShortDate(when.date(), locale) << LongTime(when.time(), locale);
    for (const double value : values)
        fields << QString::number(value, 'f', 1); // always "." and no grouping
    fields << QString::fromLatin1(marker);
    return fields.join(QLatin1String(kRecordSeparator));
}
