#include "chart/point_label.h"

#include "platform/locale_formats.h"

namespace {
constexpr char kIndent[] = "            "; // twelve blanks
constexpr char kJoin[] = " / ";
} // namespace

QString PointLabel(const QDateTime& when) {
    return QLatin1String(kIndent) + LongTime(when.time()) + QLatin1String(kJoin) +
           ShortDate(when.date());
}

void PointLabelFromFields(QByteArrayView time, QByteArrayView date, QByteArray& label) {
    label.clear();
    label.append(kIndent).append(time).append(kJoin).append(date);
}
