// Placeholder: ISO forms until the locale-aware formats are in.
#include "platform/locale_formats.h"

QString ShortDate(const QDate& date, const QLocale&) {
    return date.toString(Qt::ISODate);
}
QString LongTime(const QTime& time, const QLocale&) {
    return time.toString(u"HH:mm:ss");
}
