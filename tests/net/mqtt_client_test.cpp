// The broker connection against a real mosquitto: what a connection says on the status topic,
// acknowledgements of QoS 1 messages, the German reason when a connection fails (shown once
// however often it is retried), and the last will when the program is killed.
#include "broker.h"

#include "net/mqtt_client.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kWaitMs = 20'000; // bound on the broker's answers; never reached when all is well

MqttTarget LocalTarget(int port, const QString& base = QStringLiteral("test/station")) {
    MqttTarget target;
    target.host = QStringLiteral("127.0.0.1");
    target.port = port;
    target.statusTopic = base + QStringLiteral("/status");
    return target;
}

bool WaitConnected(MqttClient& client) {
    return QTest::qWaitFor([&] { return client.isConnected(); }, kWaitMs);
}

// The last retained message on `topic` as a new subscriber sees it.
ReceivedMessage Retained(int port, const QString& topic) {
    Subscriber late(port, topic);
    late.ready();
    late.waitFor([](const QList<ReceivedMessage>& messages) { return !messages.isEmpty(); }, 2000);
    const QList<ReceivedMessage> messages = late.messages();
    return messages.isEmpty() ? ReceivedMessage{} : messages.last();
}

// A port that accepts connections and hangs up on each at once, counting them.
class HangingUpPort {
public:
    HangingUpPort() { fd_ = ListenOnLoopback(8, port_); }
    ~HangingUpPort() { ::close(fd_); }
    int port() const { return port_; }
    int hangUps() {
        for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0; ++count_)
            ::close(client);
        return count_;
    }

private:
    int fd_ = -1;
    int port_ = 0;
    int count_ = 0;
};

} // namespace

TEST(MqttClientTest, SaysOnlineRetainedAndReportsAcknowledgedMessages) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    MqttClient client;
    QSignalSpy acknowledged(&client, &MqttClient::acknowledged);
    client.start(LocalTarget(broker.port()));
    ASSERT_TRUE(WaitConnected(client)) << client.stateText().toStdString();
    EXPECT_EQ(client.stateText(), QStringLiteral("Verbunden mit 127.0.0.1:%1").arg(broker.port()));

    Subscriber watcher(broker.port(), QStringLiteral("test/#"));
    ASSERT_TRUE(watcher.ready());
    client.publish(QStringLiteral("test/station/a"), "one", 1, false, 41);
    client.publish(QStringLiteral("test/station/b"), "two", 1, false, 42);
    client.publish(QStringLiteral("test/station/c"), "three", 0, false, 43); // QoS 0: no answer
    QList<std::uint64_t> tags;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (!acknowledged.isEmpty())
                tags += acknowledged.takeFirst().at(0).value<QList<std::uint64_t>>();
            return tags.size() >= 2;
        },
        kWaitMs));
    EXPECT_EQ(tags, (QList<std::uint64_t>{41, 42}));
    ASSERT_TRUE(watcher.waitFor([](const auto& messages) { return messages.size() >= 3; }));
    EXPECT_EQ(watcher.on(QStringLiteral("test/station/b")).value(0).payload, "two");

    const ReceivedMessage status = Retained(broker.port(), QStringLiteral("test/station/status"));
    EXPECT_EQ(status.payload, "online");
    EXPECT_TRUE(status.retain);

    // A clean stop says offline, retained.
    client.stop();
    ASSERT_TRUE(watcher.waitFor([](const QList<ReceivedMessage>& messages) {
        return !messages.isEmpty() && messages.last().payload == "offline";
    }));
    EXPECT_EQ(Retained(broker.port(), QStringLiteral("test/station/status")).payload, "offline");
    EXPECT_EQ(client.stateText(), QStringLiteral("Aus"));
}

// Each way a connection fails, with the German reason the network window shows.
TEST(MqttClientTest, NamesTheCauseOfAFailedConnection) {
    Broker plain;
    Broker guarded(Broker::Options{false, QStringLiteral("monidesk"), QStringLiteral("geheim")});
    Broker secure(Broker::Options{true, {}, {}});
    ASSERT_TRUE(plain.start()) << plain.error().toStdString();
    ASSERT_TRUE(guarded.start()) << guarded.error().toStdString();
    ASSERT_TRUE(secure.start()) << secure.error().toStdString();

    struct Case {
        const char* name;
        MqttTarget target;
        QString expected; // empty: connects
    };
    const int closed = FreeLoopbackPort();
    MqttTarget unresolvable = LocalTarget(1883);
    unresolvable.host = QStringLiteral("no-such-broker.invalid");
    MqttTarget wrongPassword = LocalTarget(guarded.port());
    wrongPassword.user = QStringLiteral("monidesk");
    wrongPassword.password = QStringLiteral("falsch");
    MqttTarget rightPassword = wrongPassword;
    rightPassword.password = QStringLiteral("geheim");
    MqttTarget anonymous = LocalTarget(guarded.port());
    MqttTarget trusted = LocalTarget(secure.port());
    trusted.tls = true;
    trusted.caFile = secure.caFile();
    MqttTarget untrusted = trusted;
    untrusted.caFile = secure.wrongCaFile();
    MqttTarget missingCa = trusted;
    missingCa.caFile = secure.caFile() + QStringLiteral(".missing");
    MqttTarget tlsOnPlain = trusted;
    tlsOnPlain.port = plain.port();

    const Case cases[] = {
        {"closed port", LocalTarget(closed),
         QStringLiteral("Broker nicht erreichbar: 127.0.0.1:%1 (Verbindung abgewiesen)")
             .arg(closed)},
        {"unknown name", unresolvable,
         QStringLiteral("Name nicht auflösbar: no-such-broker.invalid")},
        {"wrong password", wrongPassword,
         QStringLiteral("Verbindung abgelehnt: Benutzername oder Passwort falsch")},
        {"no user", anonymous,
         QStringLiteral(
             "Verbindung abgelehnt: Anmeldung mit Benutzername und Passwort erforderlich")},
        {"right password", rightPassword, {}},
        {"trusted CA", trusted, {}},
        {"wrong CA", untrusted,
         QStringLiteral("TLS-Fehler: Zertifikat des Brokers nicht vertrauenswürdig (CA-Datei %1)")
             .arg(secure.wrongCaFile())},
        {"missing CA file", missingCa,
         QStringLiteral("TLS-Fehler: Zertifikatsdatei fehlt oder ist nicht lesbar (%1)")
             .arg(missingCa.caFile)},
        {"TLS to a plain listener", tlsOnPlain, QStringLiteral("TLS-Fehler")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MqttClient client;
        client.start(c.target);
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(WaitConnected(client)) << client.stateText().toStdString();
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return client.state() == MqttState::Failed; }, kWaitMs));
        EXPECT_TRUE(client.stateText().startsWith(c.expected)) << client.stateText().toStdString();
    }
}

// A broker that keeps hanging up is tried again and again (1 s, 2 s, ...), and the failure is
// reported once.
TEST(MqttClientTest, ReportsARepeatedFailureOnceWhileRetrying) {
    HangingUpPort port;
    MqttClient client;
    QSignalSpy changes(&client, &MqttClient::stateChanged);
    client.start(LocalTarget(port.port()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.hangUps() >= 3; }, kWaitMs));
    QStringList texts;
    for (const QList<QVariant>& change : changes)
        texts << change.at(1).toString();
    ASSERT_EQ(texts.size(), 2) << texts.join(QLatin1String(" | ")).toStdString();
    EXPECT_EQ(texts.at(0), QStringLiteral("Verbinde mit 127.0.0.1:%1 …").arg(port.port()));
    EXPECT_TRUE(texts.at(1).startsWith(
        QStringLiteral("Broker nicht erreichbar: 127.0.0.1:%1").arg(port.port())))
        << texts.at(1).toStdString();
}

// A broker that answers only after a while (here: a connection attempt dropped once, as on a
// slow or lossy network) is connected to once it does: the connection is finished on the
// network thread, not given up.
TEST(MqttClientTest, ConnectsToABrokerThatAnswersLate) {
    SilentPort late;
    MqttClient client;
    client.start(LocalTarget(late.port()));
    QTest::qWait(300);
    EXPECT_EQ(client.state(), MqttState::Connecting);
    late.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.answerConnect(); }, kWaitMs));
    EXPECT_TRUE(WaitConnected(client)) << client.stateText().toStdString();
}

// A station killed without a word shows offline: the broker publishes its last will.
TEST(MqttClientTest, KilledStationShowsOffline) {
    Broker broker;
    ASSERT_TRUE(broker.start()) << broker.error().toStdString();
    QProcess station;
    station.start(QStringLiteral(NET_STATION),
                  {QString::number(broker.port()), QStringLiteral("test/killed")});
    QByteArray said;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            station.waitForReadyRead(10);
            said += station.readAllStandardOutput();
            return said.contains("connected") || station.state() == QProcess::NotRunning;
        },
        kWaitMs));
    ASSERT_EQ(station.state(), QProcess::Running);
    EXPECT_EQ(Retained(broker.port(), QStringLiteral("test/killed/status")).payload, "online");

    Subscriber watcher(broker.port(), QStringLiteral("test/killed/status"));
    ASSERT_TRUE(watcher.ready());
    station.kill(); // SIGKILL
    station.waitForFinished();
    ASSERT_TRUE(watcher.waitFor([](const QList<ReceivedMessage>& messages) {
        return !messages.isEmpty() && messages.last().payload == "offline";
    }));
    const ReceivedMessage status = Retained(broker.port(), QStringLiteral("test/killed/status"));
    EXPECT_EQ(status.payload, "offline");
    EXPECT_TRUE(status.retain);
}
