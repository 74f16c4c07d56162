#include "temperature/termolog_line.h"

#include "platform/locale_formats.h"

#include <QStringList>

QString TermoLogLine(const QDateTime& when, const std::array<double, 8>& temperatures,
                     const QLocale& locale) {
    QStringList fields;
    fields.reserve(11);
    fields << ShortDate(when.date(), locale) << LongTime(when.time(), locale);
    for (double value : temperatures)
        fields << QString::number(value, 'f', 1); // always "." and no grouping
    fields << QString::fromLatin1(kTermoLogMarker);
    return fields.join(QLatin1String(kTermoLogSeparator));
}
