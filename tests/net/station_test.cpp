// The whole station against a real mosquitto: the topics of a run, a broker outage, the
// outbox across SIGKILL and on a full disk, the poll tick while the broker cannot be reached,
// and a second station fed over the remote link.
#include "broker.h"
#include "station_readings.h"

#include "net/network_station.h"
#include "net/remote_link.h"

#include "decoding_station.h"
#include "level/level_state.h"
#include "link/heatspan_telegram.h"
#include "link/telegram.h"
#include "settings/settings.h"
#include "support/file_faults.h"
#include "temperature/temperature_state.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 30'000; // bound on the broker's answers; never reached when all is well

NetworkSettings Publishing(int port, const QString& base) {
    NetworkSettings settings;
    settings.enabled = true;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = port;
    settings.baseTopic = base;
    settings.rate = 0;
    return settings;
}

bool WaitConnected(NetworkStation& station) {
    return QTest::qWaitFor([&] { return station.client().isConnected(); }, kWaitMs);
}

QByteArray Bytes(const Telegram& telegram) {
    return QByteArray(reinterpret_cast<const char*>(telegram.data()), kTelegramSize);
}

// The readings the state documents are of, each once, in the order they first arrived
// (a document sent again after a lost acknowledgement is counted once).
QList<int> FirstArrivals(const QList<ReceivedMessage>& messages) {
    QList<int> numbers;
    for (const ReceivedMessage& message : messages) {
        const int n = ReadingNumber(message.payload);
        if (!numbers.contains(n))
            numbers.append(n);
    }
    return numbers;
}

QList<int> Range(int from, int to) {
    QList<int> numbers;
    for (int n = from; n < to; ++n)
        numbers.append(n);
    return numbers;
}

HeatSpanState HeatReading() {
    std::array<QString, 8> names;
    for (int i = 0; i < 8; ++i)
        names[std::size_t(i)] = QStringLiteral("TEMP %1").arg(i + 1);
    return HeatSpanStateOf(QDateTime::currentDateTime(),
                           {21.5, 22.0, 150.0, 20.0, 20.0, 20.0, 300.0, 1000.0}, names,
                           HeatSpanStatusOf(kStatusSensorError, kRangeChannel7));
}

} // namespace

// What a subscriber that comes later finds retained, and what is not retained.
TEST(StationTest, RunPublishesItsTopicsWithTheirRetainFlags) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    QTemporaryDir data;
    NetworkStation station(data.path());
    Subscriber live(broker.port(), QStringLiteral("monidesk/run/#"));
    ASSERT_TRUE(live.ready());
    station.apply(Publishing(broker.port(), QStringLiteral("monidesk/run")), {});
    ASSERT_TRUE(WaitConnected(station)) << station.client().stateText().toStdString();
    station.publishHeatSpan(HeatReading());
    station.publishTideSpan(NumberedReading(7));
    const Telegram telegram = TemperatureTelegram(17, kTypeTemperature0, {21.5, 22.0, 23.0, 24.0});
    station.publishTelegram(telegram);
    ASSERT_TRUE(live.waitFor([](const QList<ReceivedMessage>& messages) {
        for (const ReceivedMessage& message : messages)
            if (message.topic == QLatin1String("monidesk/run/telegram"))
                return true;
        return false;
    }));
    EXPECT_EQ(live.on(QStringLiteral("monidesk/run/telegram")).value(0).payload, Bytes(telegram));
    EXPECT_EQ(live.on(QStringLiteral("monidesk/run/heatspan/state")).size(), 1);
    EXPECT_EQ(live.on(QStringLiteral("monidesk/run/tidespan/state")).value(0).qos, 1);

    Subscriber late(broker.port(), QStringLiteral("#"));
    ASSERT_TRUE(late.ready());
    ASSERT_TRUE(late.waitFor([](const auto& messages) { return messages.size() >= 55; }));
    QTest::qWait(200); // anything beyond the expected would show now
    QHash<QString, QByteArray> retained;
    for (const ReceivedMessage& message : late.messages()) {
        EXPECT_TRUE(message.retain) << message.topic.toStdString();
        retained.insert(message.topic, message.payload);
    }
    const QString base = QStringLiteral("monidesk/run/");
    const std::pair<const char*, QByteArray> expected[] = {
        {"status", "online"},
        {"heatspan/temperature/1", "21.5"},
        {"heatspan/temperature/7", "300.0"},
        {"heatspan/sensor_error/1", "OFF"},
        {"heatspan/sensor_error/3", "ON"},
        {"heatspan/alarm/5", "OFF"},
        {"tidespan/percent", "7"},
        {"tidespan/height_cm", "10.5"},
        {"tidespan/distance_cm", "90.5"},
        {"tidespan/volume_l", "1230"},
    };
    for (const auto& [topic, payload] : expected)
        EXPECT_EQ(retained.value(base + QLatin1String(topic), "<none>"), payload) << topic;
    // An empty payload cleared the retained values of channels 3 and 8 (no value).
    EXPECT_FALSE(retained.contains(base + QStringLiteral("heatspan/temperature/3")));
    EXPECT_FALSE(retained.contains(base + QStringLiteral("heatspan/temperature/8")));
    EXPECT_FALSE(retained.contains(base + QStringLiteral("heatspan/state")));
    EXPECT_FALSE(retained.contains(base + QStringLiteral("telegram")));
    int configs = 0;
    for (const QString& topic : retained.keys())
        configs += topic.startsWith(QLatin1String("homeassistant/")) ? 1 : 0;
    EXPECT_EQ(configs, 28);
    EXPECT_EQ(retained.size(), 1 + 6 + 8 + 8 + 4 + 28); // two temperatures cleared
}

// The broker goes away for a few seconds (30 s in the field; the outbox does not care how
// long) while readings go on: once it is back, every state of the outage arrives, in order,
// each with its own time.
TEST(StationTest, OutageDeliversEveryStateInOrderWithItsOwnTime) {
    Broker broker(Broker::Options{false, {}, {}, true});
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    QTemporaryDir data;
    NetworkStation station(data.path());
    Subscriber watcher(broker.port(), QStringLiteral("monidesk/outage/tidespan/state"),
                       QStringLiteral("outage-watcher"));
    ASSERT_TRUE(watcher.ready());
    station.apply(Publishing(broker.port(), QStringLiteral("monidesk/outage")), {});
    ASSERT_TRUE(WaitConnected(station));
    for (int n = 0; n < 5; ++n)
        station.publishTideSpan(NumberedReading(n));
    ASSERT_TRUE(watcher.waitFor([](const auto& m) { return FirstArrivals(m).size() >= 5; }));

    broker.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !station.client().isConnected(); }, kWaitMs));
    for (int n = 5; n < 30; ++n) {
        station.publishTideSpan(NumberedReading(n));
        QTest::qWait(100);
    }
    EXPECT_EQ(station.tideSpanOutbox()->size(), 25);
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    ASSERT_TRUE(
        watcher.waitFor([](const auto& m) { return FirstArrivals(m).size() >= 30; }, 90'000));
    EXPECT_EQ(FirstArrivals(watcher.messages()), Range(0, 30));
    ASSERT_TRUE(QTest::qWaitFor([&] { return station.tideSpanOutbox()->isEmpty(); }, kWaitMs));
}

// A station killed with SIGKILL in the middle of an outage loses nothing it had stored: the
// next start sends all of it, in order, before its own readings.
TEST(StationTest, OutboxSurvivesAKilledStationMidOutage) {
    Broker broker(Broker::Options{false, {}, {}, true});
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    QTemporaryDir data;
    Subscriber watcher(broker.port(), QStringLiteral("monidesk/killed/tidespan/state"),
                       QStringLiteral("killed-watcher"));
    ASSERT_TRUE(watcher.ready());
    const auto run = [&](QProcess& station, int first) {
        station.start(QStringLiteral(NET_STATION),
                      {QStringLiteral("--publish"), QString::number(broker.port()),
                       QStringLiteral("monidesk/killed"), data.path(), QString::number(first)});
    };
    QProcess first;
    QByteArray said;
    const auto stored = [&] {
        first.waitForReadyRead(10);
        said += first.readAllStandardOutput();
        const QList<QByteArray> lines = said.trimmed().split('\n');
        return lines.size() >= 2 ? lines.at(lines.size() - 2).toInt() : 0; // a whole line
    };
    run(first, 0);
    ASSERT_TRUE(watcher.waitFor([](const auto& m) { return FirstArrivals(m).size() >= 10; }));
    broker.stop();
    const int beforeOutage = stored();
    ASSERT_TRUE(QTest::qWaitFor([&] { return stored() >= beforeOutage + 50; }, kWaitMs));
    first.kill();
    first.waitForFinished();
    const int reported = stored();

    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    QProcess second;
    run(second, 1'000'000);
    ASSERT_TRUE(watcher.waitFor([&](const auto& m) { return FirstArrivals(m).contains(1'000'000); },
                                90'000));
    second.kill();
    second.waitForFinished();
    const QList<int> arrived = FirstArrivals(watcher.messages());
    const qsizetype own = arrived.indexOf(1'000'000);
    ASSERT_GE(own, reported);
    EXPECT_EQ(arrived.mid(0, reported), Range(0, reported));
    EXPECT_FALSE(arrived.contains(-1)); // every document with its own time
}

// With no room left on the disk the outbox cannot keep a document: that is said once, the
// documents still go out while the broker is there, and nothing torn is left.
TEST(StationTest, FullDiskIsReportedOnceAndPublishingGoesOn) {
    SmallTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    Subscriber watcher(broker.port(), QStringLiteral("monidesk/full/tidespan/state"));
    ASSERT_TRUE(watcher.ready());
    {
        NetworkStation station(disk.path());
        QSignalSpy failures(&station, &NetworkStation::outboxFailed);
        station.apply(Publishing(broker.port(), QStringLiteral("monidesk/full")), {});
        ASSERT_TRUE(WaitConnected(station));
        ASSERT_TRUE(disk.fill());
        for (int n = 0; n < 5; ++n)
            station.publishTideSpan(NumberedReading(n));
        ASSERT_TRUE(watcher.waitFor([](const auto& m) { return FirstArrivals(m).size() >= 5; }));
        EXPECT_EQ(FirstArrivals(watcher.messages()), Range(0, 5));
        ASSERT_EQ(failures.size(), 1);
        EXPECT_TRUE(failures[0][0].toString().startsWith(
            QStringLiteral("Fehler beim Schreiben der Datei ")));
    }
    Outbox outbox(disk.path() + QStringLiteral("/tidespan"));
    ASSERT_TRUE(outbox.open());
    EXPECT_TRUE(outbox.isEmpty());
}

// The poll tick goes on every 100 ms, readings published on each, while the broker cannot be
// reached in three ways. The largest gap between two ticks is printed; the bound asserted is
// loose on purpose (a shared machine), an attempt that blocked would break it by seconds.
TEST(StationTest, TickGoesOnWhileTheBrokerCannotBeReached) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    SilentPort silent;
    struct Case {
        const char* name;
        NetworkSettings settings;
        bool pauseBroker;
        QString state; // what the network window says meanwhile
    };
    NetworkSettings unresolvable = Publishing(1883, QStringLiteral("monidesk/tick"));
    unresolvable.host = QStringLiteral("no-such-broker.invalid");
    const Case cases[] = {
        {"a host that drops packets", Publishing(silent.port(), QStringLiteral("monidesk/tick")),
         false, QStringLiteral("Verbinde mit 127.0.0.1:%1").arg(silent.port())},
        {"a name that does not resolve", unresolvable, false,
         QStringLiteral("Name nicht auflösbar: no-such-broker.invalid")},
        {"a broker that stops mid-run", Publishing(broker.port(), QStringLiteral("monidesk/tick")),
         true, QStringLiteral("Verbunden mit 127.0.0.1:%1").arg(broker.port())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir data;
        NetworkStation station(data.path());
        station.apply(c.settings, {});
        if (c.pauseBroker) {
            ASSERT_TRUE(WaitConnected(station));
            broker.pause();
        }
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, largest = 0;
        int n = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            largest = std::max(largest, clock.elapsed() - last);
            last = clock.elapsed();
            station.publishTideSpan(NumberedReading(n++));
            station.publishHeatSpan(HeatReading());
        });
        tick.start(100);
        QTest::qWait(3000);
        tick.stop();
        if (c.pauseBroker)
            broker.resume();
        EXPECT_TRUE(station.client().stateText().startsWith(c.state))
            << station.client().stateText().toStdString();
        std::printf("  largest gap between ticks with %s: %lld ms\n", c.name,
                    static_cast<long long>(largest));
        EXPECT_LT(largest, 1000);
    }
}

// A wildcard in the base topic would have the broker drop every message without a word: the
// station does not start and says why, where a failed connection shows.
TEST(StationTest, WildcardBaseTopicIsRefusedAndSaid) {
    for (const char* base : {"halle/+/kessel", "halle/#"}) {
        QTemporaryDir data;
        NetworkStation station(data.path());
        station.apply(Publishing(1883, QString::fromLatin1(base)), {});
        EXPECT_EQ(station.client().state(), MqttState::Failed) << base;
        EXPECT_TRUE(station.client().stateText().startsWith(QStringLiteral("Basis-Topic")))
            << station.client().stateText().toStdString();
        EXPECT_FALSE(QDir(data.path()).exists(QStringLiteral("heatspan"))) << "no outbox opened";
    }
}

// A second station subscribed to the first one's telegrams counts, decodes and shows them as
// if they had come from its own receiver.
TEST(StationTest, RemoteLinkFeedsASecondStation) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    QTemporaryDir data;
    NetworkStation first(data.filePath(QStringLiteral("first")));
    NetworkStation second(data.filePath(QStringLiteral("second")));
    first.apply(Publishing(broker.port(), QStringLiteral("monidesk/first")), {});
    NetworkSettings remote = Publishing(broker.port(), QStringLiteral("monidesk/second"));
    remote.remoteBase = QStringLiteral("monidesk/first");
    second.apply(remote, {});
    ASSERT_TRUE(WaitConnected(first));
    ASSERT_TRUE(WaitConnected(second));
    FreshDecodingStation();
    // Until the subscription stands, a telegram no decoder takes.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            first.publishTelegram(Telegram{});
            DrainRemoteTelegrams(); // as the poll tick does
            return remoteTelegramCount > 0;
        },
        kWaitMs));
    QTest::qWait(200);
    DrainRemoteTelegrams();
    FreshDecodingStation();
    settings.TERM_ADR = 17;
    settings.LEV_ADR = 3;
    const Telegram sent[] = {
        TemperatureTelegram(17, kTypeTemperature0, {21.5, 22.5, 23.5, 24.5}),
        TemperatureTelegram(17, kTypeTemperature1, {-5.0, 60.0, 400.0, 1000.0}),
        StatusTelegram(17, kStatusAlarm),
        LevelTelegram(3, LevelPayload{1234, 567, 123, 57}),
        LevelTelegram(4, LevelPayload{1, 2, 3, 4}), // another transmitter: counted as OK only
    };
    for (const Telegram& telegram : sent)
        first.publishTelegram(telegram);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            DrainRemoteTelegrams();
            return remoteTelegramCount >= 5;
        },
        kWaitMs));
    EXPECT_EQ(okCount, 5);
    EXPECT_EQ(crcErrorCount, 0);
    EXPECT_EQ(tempTelegramCount, 3);
    EXPECT_EQ(levelTelegramCount, 1);
    EXPECT_EQ(liveTemperatures,
              (std::array<double, 8>{21.5, 22.5, 23.5, 24.5, -5.0, 60.0, 400.0, 1000.0}));
    EXPECT_EQ(levelPercent, 57);
    EXPECT_EQ(levelHeightRaw, 567);
    EXPECT_EQ(levelDistanceRaw, 1234);
    ResetStationLayers();
}
