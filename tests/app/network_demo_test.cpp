// The program itself as `monidesk --simulate --mqtt` starts it, against a real mosquitto:
// what a subscriber on the broker sees of its run and of its end.
#include "broker.h" // tests/net

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kBase = QStringLiteral("monidesk/demo");

QJsonObject Json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

// A HeatSpan state with a value in every channel (both halves and a status have come).
bool Complete(const ReceivedMessage& message) {
    const QJsonObject state = Json(message.payload);
    const QJsonArray channels = state[QLatin1String("channels")].toArray();
    if (channels.size() != 8 || !state[QLatin1String("alarm")].isBool())
        return false;
    for (const QJsonValue& channel : channels)
        if (!channel.toObject()[QLatin1String("temperature")].isDouble())
            return false;
    return true;
}

} // namespace

// A simulated station publishes its readings with their time, the raw telegrams and its
// retained values while it runs, and says "offline" when it is ended.
TEST(NetworkDemo, SimulatedStationPublishesUntilItIsEnded) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber watcher(broker.port(), kBase + QStringLiteral("/#"));
    ASSERT_TRUE(watcher.ready());
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess desk;
    desk.setProcessEnvironment(environment);
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    desk.start(QStringLiteral(MONIDESK_BIN),
               {QStringLiteral("--simulate"), QStringLiteral("--mqtt"),
                QStringLiteral("127.0.0.1:%1").arg(broker.port()), QStringLiteral("--mqtt-topic"),
                kBase});
    ASSERT_TRUE(desk.waitForStarted());

    const QString heatState = kBase + QStringLiteral("/heatspan/state");
    ASSERT_TRUE(watcher.waitFor(
        [&](const QList<ReceivedMessage>& messages) {
            bool complete = false, level = false, telegram = false;
            for (const ReceivedMessage& message : messages) {
                complete = complete || (message.topic == heatState && Complete(message));
                level = level || message.topic == kBase + QStringLiteral("/tidespan/state");
                telegram = telegram || message.topic == kBase + QStringLiteral("/telegram");
            }
            return complete && level && telegram;
        },
        60'000));
    EXPECT_EQ(watcher.on(kBase + QStringLiteral("/status")).value(0).payload, "online");
    // Every state carries the time of its reading, within the run.
    for (const QString& topic : {heatState, kBase + QStringLiteral("/tidespan/state")})
        for (const ReceivedMessage& message : watcher.on(topic)) {
            const auto ms = static_cast<qint64>(
                Json(message.payload)[QLatin1String("timestamp_ms")].toDouble());
            EXPECT_GE(ms, started - 1000) << message.payload.toStdString();
            EXPECT_LE(ms, QDateTime::currentMSecsSinceEpoch()) << message.payload.toStdString();
        }
    for (const ReceivedMessage& message : watcher.on(kBase + QStringLiteral("/telegram")))
        EXPECT_EQ(message.payload.size(), 12);
    // A subscriber that comes later finds the latest values kept for it.
    Subscriber late(broker.port(), kBase + QStringLiteral("/heatspan/temperature/+"));
    ASSERT_TRUE(late.ready());
    ASSERT_TRUE(late.waitFor([](const QList<ReceivedMessage>& m) { return m.size() >= 8; }));
    EXPECT_TRUE(late.messages().first().retain);

    desk.terminate(); // as the session's end or `kill` does
    ASSERT_TRUE(desk.waitForFinished(30'000));
    EXPECT_EQ(desk.exitCode(), 0) << desk.readAllStandardError().toStdString();
    ASSERT_TRUE(watcher.waitFor([&](const QList<ReceivedMessage>&) {
        return watcher.on(kBase + QStringLiteral("/status")).size() >= 2;
    }));
    EXPECT_EQ(watcher.on(kBase + QStringLiteral("/status")).last().payload, "offline");
}
