#pragma once

#include "net/mqtt_target.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <optional>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

// The libmosquitto connection, owned by and run on the network thread: name resolution,
// TCP and TLS set-up, reading, writing, keep-alive and the retries all happen here, so that
// none of them can hold up the GUI thread. MqttClient talks to it only through queued calls
// and its signals. A new connection object is made for every attempt, so nothing of a broken
// connection (queued packets, message ids) leaks into the next.
class MqttWorker : public QObject {
    Q_OBJECT
public:
    explicit MqttWorker(const MqttTarget& target);
    ~MqttWorker() override;

    // The first attempt (queued on the network thread's start).
    void begin();
    // Sends on the connection `session`; dropped when that connection is gone.
    void publish(std::uint64_t session, const QString& topic, const QByteArray& payload, int qos,
                 bool retain, std::uint64_t tag);
    // "offline" on the status topic, a clean disconnect, then finished().
    void finish();

Q_SIGNALS:
    void up(std::uint64_t session);
    // An attempt failed or the connection was lost; the next attempt is scheduled.
    void down(const QString& why);
    void acknowledged(const QList<std::uint64_t>& tags);
    void telegram(const QByteArray& bytes);
    void finished();

private:
    void attempt();
    bool configure();
    void readReady();
    void writeReady();
    void housekeeping();
    // After every call into the loop: deliver what the callbacks gathered, or give up the
    // connection when the call failed.
    void settle(int rc, int errnoValue);
    void fail(const QString& why);
    void teardown();
    void watchSocket();

    static void onConnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
    static void onLog(mosquitto*, void* self, int level, const char* text);

    MqttTarget target_;
    mosquitto* mosq_ = nullptr;
    QSocketNotifier* reader_ = nullptr;
    QSocketNotifier* writer_ = nullptr;
    QTimer housekeeping_;
    QTimer retry_;
    QElapsedTimer attemptClock_;
    int retrySeconds_ = 1;
    bool connected_ = false;
    bool finishing_ = false;
    std::uint64_t session_ = 0;
    QHash<int, std::uint64_t> tagOfMid_;
    QList<std::uint64_t> acks_;
    std::optional<int> refusal_; // the CONNACK code of a refused attempt
    QString tlsDetail_;          // the last OpenSSL error of this attempt
};
