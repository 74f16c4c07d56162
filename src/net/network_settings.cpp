#include "net/network_settings.h"

#include <QSysInfo>

namespace {

QString TopicWord(const QString& text) {
    QString word;
    for (const QChar c : text.toLower()) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('-') || c == QLatin1Char('_');
        word += plain ? c : QLatin1Char('_');
    }
    return word;
}

} // namespace

QString DefaultBaseTopic() {
    const QString host = TopicWord(QSysInfo::machineHostName());
    return QStringLiteral("monidesk/") + (host.isEmpty() ? QStringLiteral("station") : host);
}
