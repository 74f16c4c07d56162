#pragma once

#include "link/link_state.h"
#include "net/instrument_states.h"
#include "net/mqtt_link.h"
#include "net/network_settings.h"
#include "net/state_documents.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class Outbox;

// Puts the station's readings on the network (the topics are listed in topics.h). Runs on the
// GUI thread, never waits for the broker, and needs of it only an MqttLink, so it is tested
// without one.
//
// State documents go through the instrument's outbox: each is stored first, then sent with
// QoS 1 in the order stored, and leaves the outbox once the broker has acknowledged it; while
// the broker is away they wait there (with their own times) and go out in order on the next
// connection. Retained value topics carry only the latest: each value is sent when it changes
// and all of them again on every connection. Home Assistant configs are sent on every
// connection for each instrument heard from, and again for a channel whose name changed.
// The rate setting lets through every reading, or at most one per interval: the newest, sent
// as soon as the interval since the last one has passed.
class Publisher : public QObject {
    Q_OBJECT
public:
    struct Config {
        QString baseTopic;
        int intervalMs = 1000; // 0: every reading
        bool discovery = true;
    };
    static Config ConfigOf(const NetworkSettings& settings);

    // The outboxes stay the caller's; they should be open (appends to a closed one fail and
    // the documents are sent without it while connected).
    Publisher(const Config& config, MqttLink& link, Outbox& heatSpan, Outbox& tideSpan,
              QObject* parent = nullptr);

    void publishHeatSpan(const HeatSpanState& state);
    void publishTideSpan(const TideSpanState& state);
    // Each checked telegram's 12 bytes on <base>/telegram (not one fed in from a remote
    // station, so that two stations watching each other do not echo).
    void publishTelegram(const Telegram& telegram);

    // What the link reports.
    void linkUp();
    void linkDown();
    void acknowledged(const QList<std::uint64_t>& tags);

    // Sends what the rate held back once its time has come (a timer calls it).
    void poll();
    // The monotonic clock in milliseconds the rate is measured with (tests set their own).
    void setClock(std::function<qint64()> monotonicMs);

    const Config& config() const { return config_; }

Q_SIGNALS:
    // An outbox could not store a document (a full disk): said once per run of failures.
    void outboxFailed(const QString& text);

private:
    enum Instrument { HeatSpan, TideSpan, Instruments };
    struct Lane {
        Outbox* outbox = nullptr;
        QString stateTopic;
        std::optional<qint64> lastSentMs;
        bool pending = false;
        bool heard = false;
        bool failing = false;
        std::uint64_t sendNext = 0;
        int inFlight = 0;
    };
    void arrived(Instrument instrument);
    void sendReading(Instrument instrument);
    void store(Instrument instrument, const QByteArray& document);
    void sendValues(const QList<TopicMessage>& values);
    void announce(Instrument instrument);
    void pump(Instrument instrument);
    void schedule();
    qint64 now() const { return clock_(); }

    Config config_;
    MqttLink& link_;
    std::array<Lane, Instruments> lanes_;
    std::optional<HeatSpanState> heatSpan_;
    std::optional<TideSpanState> tideSpan_;
    std::array<QString, kHeatSpanChannels> announcedNames_;
    QHash<QString, QByteArray> sentValues_; // on this connection
    QTimer timer_;
    QElapsedTimer elapsed_;
    std::function<qint64()> clock_;
};
