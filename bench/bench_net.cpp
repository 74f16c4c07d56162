// The network station: the cost of one published reading (documents and values formatted,
// the document stored in the outbox, everything handed to the client), the outbox's replay
// rate to a local mosquitto, and the outbox's size on disk for 100 hours.
#include "broker.h" // tests/net: a mosquitto of the benchmark's own on a free loopback port

#include "net/instrument_states.h"
#include "net/network_station.h"
#include "net/outbox.h"
#include "net/publisher.h"
#include "net/state_documents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// A connected link that takes everything and acknowledges nothing by itself.
class TakingLink : public MqttLink {
public:
    QList<std::uint64_t> tags;
    bool isConnected() const override { return true; }
    void publish(const QString&, const QByteArray&, int, bool, std::uint64_t tag) override {
        if (tag != 0)
            tags.append(tag);
    }
};

// Reading i of a HeatSpan whose temperatures drift, with the first-run channel names.
HeatSpanState HeatReading(int i) {
    std::array<double, 8> live{};
    std::array<QString, 8> names;
    for (int c = 0; c < 8; ++c) {
        live[std::size_t(c)] = 20.0 + c + ((i + 7 * c) % 50) / 10.0;
        names[std::size_t(c)] = QStringLiteral("TEMP %1").arg(c + 1);
    }
    return HeatSpanStateOf(QDateTime::fromMSecsSinceEpoch(1'714'557'600'000 + qint64(i) * 250),
                           live, names, HeatSpanStatusOf(i % 40 == 0 ? 0x08 : 0, 0));
}

TideSpanState TideReading(int i) {
    return TideSpanStateOf(QDateTime::fromMSecsSinceEpoch(1'714'557'600'000 + qint64(i) * 250),
                           LevelPayload{std::uint16_t(1500 + i % 300), std::uint16_t(900 + i % 50),
                                        std::uint16_t(400 + i % 20), std::uint8_t(i % 101)},
                           false);
}

} // namespace

// One HeatSpan reading through the publisher: its state document formatted and stored, the
// values that changed handed over; the broker's acknowledgement follows at once, so the
// outbox stays small as on a healthy connection.
void BM_NetPublishHeatSpanReading(benchmark::State& state) {
    QTemporaryDir dir;
    Outbox heat(dir.filePath(QStringLiteral("heatspan"))),
        tide(dir.filePath(QStringLiteral("tidespan")));
    heat.open();
    tide.open();
    TakingLink link;
    Publisher publisher({QStringLiteral("monidesk/bench"), 0, true}, link, heat, tide);
    publisher.linkUp();
    int i = 0;
    for (auto _ : state) {
        publisher.publishHeatSpan(HeatReading(i++));
        publisher.acknowledged(std::exchange(link.tags, {}));
    }
    state.counters["document_bytes"] = double(HeatSpanDocument(HeatReading(0)).size());
}
BENCHMARK(BM_NetPublishHeatSpanReading)->Unit(benchmark::kMicrosecond);

// The same through the real client to a local broker: the handing over to the network thread
// is counted, the broker's work is not (its acknowledgements are taken in every 64 readings).
void BM_NetPublishHeatSpanReadingToBroker(benchmark::State& state) {
    Broker broker;
    if (!broker.start()) {
        state.SkipWithError(qPrintable(broker.error()));
        return;
    }
    QTemporaryDir dir;
    NetworkStation station(dir.path());
    NetworkSettings settings;
    settings.enabled = true;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = broker.port();
    settings.baseTopic = QStringLiteral("monidesk/bench");
    settings.rate = 0;
    station.apply(settings, {});
    if (!QTest::qWaitFor([&] { return station.client().isConnected(); }, 10'000)) {
        state.SkipWithError("no connection");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        station.publishHeatSpan(HeatReading(i++));
        if (i % 64 == 0) {
            state.PauseTiming();
            if (!QTest::qWaitFor([&] { return station.heatSpanOutbox()->isEmpty(); }, 10'000))
                state.SkipWithError("acknowledgements missing");
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_NetPublishHeatSpanReadingToBroker)->Unit(benchmark::kMicrosecond);

// 20,000 HeatSpan documents stored during an outage, sent to a local broker on connecting:
// documents per second until the broker has acknowledged the last.
void BM_NetOutboxReplayToBroker(benchmark::State& state) {
    constexpr int kDocuments = 20'000;
    Broker broker;
    if (!broker.start()) {
        state.SkipWithError(qPrintable(broker.error()));
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        {
            Outbox outbox(dir.filePath(QStringLiteral("heatspan")));
            outbox.open();
            for (int i = 0; i < kDocuments; ++i)
                outbox.append(HeatSpanDocument(HeatReading(i)));
        }
        NetworkStation station(dir.path());
        NetworkSettings settings;
        settings.enabled = true;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = broker.port();
        settings.baseTopic = QStringLiteral("monidesk/replay");
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        station.apply(settings, {});
        const bool done = QTest::qWaitFor(
            [&] { return station.heatSpanOutbox() && station.heatSpanOutbox()->isEmpty(); },
            600'000);
        state.counters["documents_per_s"] = kDocuments * 1000.0 / double(clock.elapsed());
        if (!done)
            state.SkipWithError("replay did not finish");
    }
}
BENCHMARK(BM_NetOutboxReplayToBroker)->Iterations(1)->Unit(benchmark::kMillisecond);

// The outbox of each instrument after 100 hours without a broker. At one state a second that
// is 360,000 documents, within the bound; at every reading (about four a second) 1,440,000
// would come, of which the bound keeps the newest 360,001 (25 hours) and drops the rest: the
// same size on disk.
void BM_NetOutboxSizeFor100Hours(benchmark::State& state) {
    constexpr int kDocuments = 360'000;
    for (auto _ : state) {
        QTemporaryDir dir;
        Outbox heat(dir.filePath(QStringLiteral("heatspan")));
        Outbox tide(dir.filePath(QStringLiteral("tidespan")));
        heat.open();
        tide.open();
        for (int i = 0; i < kDocuments; ++i) {
            heat.append(HeatSpanDocument(HeatReading(i)));
            tide.append(TideSpanDocument(TideReading(i)));
        }
        state.counters["heatspan_MB"] = double(heat.bytesOnDisk()) / 1e6;
        state.counters["tidespan_MB"] = double(tide.bytesOnDisk()) / 1e6;
        state.counters["hours_kept_at_4_per_s"] = double(Outbox::kBound) / 4 / 3600;
    }
}
BENCHMARK(BM_NetOutboxSizeFor100Hours)->Iterations(1)->Unit(benchmark::kMillisecond);
