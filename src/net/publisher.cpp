#include "net/publisher.h"

#include "net/discovery.h"
#include "net/outbox.h"
#include "net/remote_link.h"
#include "net/topics.h"

#include <algorithm>

namespace {

// QoS 1 documents on their way at once (the client lets as many through unacknowledged);
// the rest wait in the outbox.
constexpr int kWindow = 256;
constexpr int kTagShift = 56;
constexpr std::uint64_t kNumberMask = (std::uint64_t{1} << kTagShift) - 1;

} // namespace

Publisher::Config Publisher::ConfigOf(const NetworkSettings& settings) {
    return {EffectiveBaseTopic(settings), RateIntervalMs(settings.rate), settings.discovery};
}

Publisher::Publisher(const Config& config, MqttLink& link, Outbox& heatSpan, Outbox& tideSpan,
                     QObject* parent)
    : QObject(parent), config_(config), link_(link) {
    lanes_[HeatSpan].outbox = &heatSpan;
    lanes_[HeatSpan].stateTopic = config.baseTopic + QStringLiteral("/heatspan/state");
    lanes_[TideSpan].outbox = &tideSpan;
    lanes_[TideSpan].stateTopic = config.baseTopic + QStringLiteral("/tidespan/state");
    // An outbox that could not be opened has been reported already.
    for (Lane& lane : lanes_)
        lane.failing = !lane.outbox->isOpen();
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Publisher::poll);
    elapsed_.start();
    clock_ = [this] { return elapsed_.elapsed(); };
}

void Publisher::setClock(std::function<qint64()> monotonicMs) {
    clock_ = std::move(monotonicMs);
}

void Publisher::publishHeatSpan(const HeatSpanState& state) {
    heatSpan_ = state;
    if (link_.isConnected() && config_.discovery && lanes_[HeatSpan].heard) {
        for (int channel = 1; channel <= kHeatSpanChannels; ++channel) {
            const auto i = static_cast<std::size_t>(channel - 1);
            if (state.names[i] == announcedNames_[i])
                continue;
            for (const TopicMessage& config :
                 HeatSpanChannelDiscovery(config_.baseTopic, channel, state.names[i]))
                link_.publish(config.topic, config.payload, 1, true, 0);
            announcedNames_[i] = state.names[i];
        }
    }
    arrived(HeatSpan);
}

void Publisher::publishTideSpan(const TideSpanState& state) {
    tideSpan_ = state;
    arrived(TideSpan);
}

void Publisher::publishTelegram(const Telegram& telegram) {
    if (!link_.isConnected() || RemoteFeedActive())
        return;
    link_.publish(config_.baseTopic + QStringLiteral("/telegram"),
                  QByteArray(reinterpret_cast<const char*>(telegram.data()), kTelegramSize), 0,
                  false, 0);
}

void Publisher::arrived(Instrument instrument) {
    Lane& lane = lanes_[instrument];
    if (!lane.heard) {
        lane.heard = true;
        if (link_.isConnected())
            announce(instrument);
    }
    if (config_.intervalMs > 0 && lane.lastSentMs &&
        now() - *lane.lastSentMs < config_.intervalMs) {
        lane.pending = true;
        schedule();
        return;
    }
    sendReading(instrument);
}

void Publisher::sendReading(Instrument instrument) {
    Lane& lane = lanes_[instrument];
    lane.pending = false;
    lane.lastSentMs = now();
    if (instrument == HeatSpan) {
        store(instrument, HeatSpanDocument(*heatSpan_));
        sendValues(HeatSpanValues(config_.baseTopic, *heatSpan_));
    } else {
        store(instrument, TideSpanDocument(*tideSpan_));
        sendValues(TideSpanValues(config_.baseTopic, *tideSpan_));
    }
    pump(instrument);
}

void Publisher::store(Instrument instrument, const QByteArray& document) {
    Lane& lane = lanes_[instrument];
    if (lane.outbox->append(document)) {
        lane.failing = false;
        return;
    }
    if (!lane.failing) {
        lane.failing = true;
        Q_EMIT outboxFailed(lane.outbox->error());
    }
    // Publishing goes on without the outbox: sent now if it can be, lost otherwise.
    if (link_.isConnected())
        link_.publish(lane.stateTopic, document, 1, false, 0);
}

void Publisher::sendValues(const QList<TopicMessage>& values) {
    if (!link_.isConnected())
        return;
    for (const TopicMessage& value : values) {
        const auto sent = sentValues_.constFind(value.topic);
        if (sent != sentValues_.cend() && sent.value() == value.payload)
            continue;
        link_.publish(value.topic, value.payload, 0, true, 0);
        sentValues_.insert(value.topic, value.payload);
    }
}

void Publisher::announce(Instrument instrument) {
    if (!config_.discovery)
        return;
    QList<TopicMessage> configs;
    if (instrument == HeatSpan && heatSpan_) {
        configs = HeatSpanDiscovery(config_.baseTopic, heatSpan_->names);
        announcedNames_ = heatSpan_->names;
    } else if (instrument == TideSpan) {
        configs = TideSpanDiscovery(config_.baseTopic);
    }
    for (const TopicMessage& config : configs)
        link_.publish(config.topic, config.payload, 1, true, 0);
}

void Publisher::pump(Instrument instrument) {
    if (!link_.isConnected())
        return;
    Lane& lane = lanes_[instrument];
    Outbox& outbox = *lane.outbox;
    lane.sendNext = std::max(lane.sendNext, outbox.first());
    while (lane.inFlight < kWindow && lane.sendNext < outbox.end()) {
        const std::uint64_t number = lane.sendNext++;
        const std::optional<QByteArray> document = outbox.read(number);
        if (!document) {
            outbox.acknowledge(number); // damaged on disk: nothing to send
            continue;
        }
        const std::uint64_t tag = (std::uint64_t(instrument + 1) << kTagShift) | number;
        link_.publish(lane.stateTopic, *document, 1, false, tag);
        ++lane.inFlight;
    }
}

void Publisher::linkUp() {
    sentValues_.clear();
    for (Instrument instrument : {HeatSpan, TideSpan}) {
        Lane& lane = lanes_[instrument];
        lane.inFlight = 0;
        lane.sendNext = lane.outbox->first();
        if (!lane.heard)
            continue;
        announce(instrument);
        if (instrument == HeatSpan && heatSpan_)
            sendValues(HeatSpanValues(config_.baseTopic, *heatSpan_));
        if (instrument == TideSpan && tideSpan_)
            sendValues(TideSpanValues(config_.baseTopic, *tideSpan_));
    }
    pump(HeatSpan);
    pump(TideSpan);
}

void Publisher::linkDown() {
    for (Lane& lane : lanes_) {
        lane.inFlight = 0;
        lane.sendNext = lane.outbox->first();
        lane.outbox->flush();
    }
    sentValues_.clear();
}

void Publisher::acknowledged(const QList<std::uint64_t>& tags) {
    for (const std::uint64_t tag : tags) {
        const auto instrument = static_cast<int>(tag >> kTagShift) - 1;
        if (instrument != HeatSpan && instrument != TideSpan)
            continue;
        Lane& lane = lanes_[static_cast<std::size_t>(instrument)];
        lane.outbox->acknowledge(tag & kNumberMask);
        lane.inFlight = std::max(0, lane.inFlight - 1);
    }
    for (Instrument instrument : {HeatSpan, TideSpan}) {
        lanes_[instrument].outbox->flush();
        pump(instrument);
    }
}

void Publisher::poll() {
    for (Instrument instrument : {HeatSpan, TideSpan}) {
        const Lane& lane = lanes_[instrument];
        if (lane.pending && (!lane.lastSentMs || now() - *lane.lastSentMs >= config_.intervalMs))
            sendReading(instrument);
    }
    schedule();
}

void Publisher::schedule() {
    std::optional<qint64> due;
    for (const Lane& lane : lanes_)
        if (lane.pending && lane.lastSentMs)
            due = std::min(due.value_or(*lane.lastSentMs + config_.intervalMs),
                           *lane.lastSentMs + config_.intervalMs);
    if (due)
        timer_.start(static_cast<int>(std::max<qint64>(0, *due - now())));
}
