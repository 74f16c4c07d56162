#pragma once

#include "net/instrument_states.h"
#include "net/mqtt_client.h"
#include "net/network_settings.h"
#include "net/outbox.h"
#include "net/publisher.h"

#include <QObject>
#include <QString>

#include <memory>

// The station on the network as the program holds it: the broker connection, one outbox per
// instrument and the publisher, wired together, and the remote link queueing telegrams from
// another station for the poll tick (DrainRemoteTelegrams). The program hands it every reading and
// every checked telegram; it does nothing with them while publishing is off.
class NetworkStation : public QObject {
    Q_OBJECT
public:
    // The outboxes live in `outboxRoot`/heatspan and /tidespan (empty: the per-user data
    // folder, Outbox::DefaultFolder).
    explicit NetworkStation(const QString& outboxRoot = {}, QObject* parent = nullptr);
    ~NetworkStation() override;

    // Starts (or restarts, or with `enabled` off stops) publishing with these settings; the
    // password is the keyring's. Returns at once.
    void apply(const NetworkSettings& settings, const QString& password);
    void stop();
    bool isPublishing() const { return publisher_ != nullptr; }

    void publishHeatSpan(const HeatSpanState& state);
    void publishTideSpan(const TideSpanState& state);
    void publishTelegram(const Telegram& telegram);

    MqttClient& client() { return client_; }
    const Outbox* heatSpanOutbox() const { return heatSpan_.get(); }
    const Outbox* tideSpanOutbox() const { return tideSpan_.get(); }

Q_SIGNALS:
    // An outbox cannot be opened or cannot store a document (said once per run of failures).
    void outboxFailed(const QString& text);

private:
    void openOutboxes();

    QString outboxRoot_;
    MqttClient client_;
    std::unique_ptr<Outbox> heatSpan_;
    std::unique_ptr<Outbox> tideSpan_;
    std::unique_ptr<Publisher> publisher_;
};

// Where and how a station with these settings connects.
MqttTarget TargetOf(const NetworkSettings& settings, const QString& password);
