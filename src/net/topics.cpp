#include "net/topics.h"

namespace {

QString TrimTopic(QString topic) {
    topic = topic.trimmed();
    while (topic.startsWith(QLatin1Char('/')))
        topic.remove(0, 1);
    while (topic.endsWith(QLatin1Char('/')))
        topic.chop(1);
    return topic;
}

} // namespace

QString EffectiveBaseTopic(const NetworkSettings& settings) {
    const QString topic = TrimTopic(settings.baseTopic);
    return topic.isEmpty() ? DefaultBaseTopic() : topic;
}

bool IsPublishableTopic(const QString& base) {
    return !base.isEmpty() && !base.contains(u'+') && !base.contains(u'#') &&
           !base.contains(QChar(0));
}

QString RemoteTelegramTopic(const NetworkSettings& settings) {
    const QString base = TrimTopic(settings.remoteBase);
    return base.isEmpty() ? QString() : base + QStringLiteral("/telegram");
}

int RateIntervalMs(int rate) {
    switch (rate) {
    case 0:
        return 0;
    case 2:
        return 10'000;
    case 3:
        return 60'000;
    default:
        return 1'000;
    }
}

QString StationId(const QString& baseTopic) {
    QString id;
    for (const QChar c : baseTopic) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           c == QLatin1Char('-') || c == QLatin1Char('_');
        id += plain ? c : QLatin1Char('_');
    }
    return id;
}
