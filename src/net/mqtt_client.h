#pragma once

#include "net/mqtt_link.h"
#include "net/mqtt_target.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>

class MqttWorker;
class QThread;

enum class MqttState { Off, Connecting, Connected, Failed };

// The broker connection as the GUI thread sees it. The connection itself lives on a thread
// of its own (MqttWorker), so connecting, name resolution, TLS handshakes and reconnects never
// hold up the poll tick; its news arrive here as queued signals, and this object's state is
// touched on the GUI thread only. Lost or refused connections are retried after 1 s, doubling
// up to 60 s. The state text changes, and stateChanged() fires, only when the state or the
// reason differs from the last one: a broker that stays away is reported once, not per try.
class MqttClient : public QObject, public MqttLink {
    Q_OBJECT
public:
    explicit MqttClient(QObject* parent = nullptr);
    // Says "offline" and disconnects cleanly, waiting briefly for the network thread.
    ~MqttClient() override;

    // Connects to `target` (a running connection is given up first); returns at once.
    void start(const MqttTarget& target);
    // "offline" on the status topic and a clean disconnect, on the network thread; returns at
    // once.
    void stop();
    // Not started at all, for a reason the settings give: Failed with `why`.
    void refuse(const QString& why);

    MqttState state() const { return state_; }
    // What the network window and Diagnose show: "Verbunden mit …", "Broker nicht erreichbar: …".
    QString stateText() const { return stateText_; }

    bool isConnected() const override { return state_ == MqttState::Connected; }
    void publish(const QString& topic, const QByteArray& payload, int qos, bool retain,
                 std::uint64_t tag) override;

Q_SIGNALS:
    void stateChanged(MqttState state, const QString& text);
    // The broker accepted a connection: the publisher sends what is due.
    void connected();
    // The connection is gone: unacknowledged messages will not be acknowledged.
    void disconnected();
    void acknowledged(const QList<std::uint64_t>& tags);
    // A 12-byte payload on the remote station's telegram topic.
    void telegramReceived(const QByteArray& bytes);

private:
    void retire();
    void setState(MqttState state, const QString& text);
    void workerUp(std::uint64_t session);
    void workerDown(const QString& why);

    MqttTarget target_;
    MqttWorker* worker_ = nullptr;
    QThread* thread_ = nullptr;
    std::uint64_t session_ = 0;
    MqttState state_ = MqttState::Off;
    QString stateText_;
};
