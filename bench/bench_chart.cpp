// The temperature chart with a full record store: replot, opening a file, recording one
// sample, memory.
#include "bench_common.h"
#include "chart/qcustomplot_include.h"
#include "platform/file_text.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_chart.h"
#include "temperature/temperature_state.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

double sampleValue(int series, int i) {
    // Slow swings with some noise, as a real recording looks.
    return 10 * series + 15 * std::sin(i / 900.0 + series) +
           ((i * 7919LL + series * 104729LL) % 97) / 20.0;
}

std::array<double, 8> sample(int i) {
    std::array<double, 8> values{};
    for (int s = 0; s < 8; ++s)
        values[static_cast<std::size_t>(s)] = sampleValue(s, i);
    return values;
}

QString labelOf(int i) {
    return QStringLiteral("            %1:%2:%3 / 07.12.2026")
        .arg(i / 3600 % 24, 2, 10, QLatin1Char('0'))
        .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(i % 60, 2, 10, QLatin1Char('0'));
}

QByteArray termoLogLine(int i) {
    QString line = QStringLiteral("07.12.2026  ,  ") + labelOf(i).mid(12, 8);
    for (double value : sample(i))
        line += QStringLiteral("  ,  ") + QString::number(value, 'f', 1);
    return ToFileText(line + QStringLiteral("  ,  TermoLog"));
}

std::unique_ptr<TemperatureChart> fullChart() {
    auto chart = std::make_unique<TemperatureChart>();
    chart->resize(647, 311);
    chart->show();
    for (int i = 0; i < kPoints; ++i) {
        chart->addSample(labelOf(i), sample(i));
    }
    return chart;
}

// Runs first, while the heap is still fresh: a full store with its chart.
void BM_MemoryFullStoreAndChart(benchmark::State& state) {
    for (auto _ : state) {
        std::unique_ptr<TemperatureChart> chart;
        const auto fillStore = [] {
            tempRecords.reset();
            for (int i = 0; i < kPoints; ++i)
                tempRecords.append(termoLogLine(i));
        };
        CountMemory(state, "chart_MB", fillStore, [&] {
            chart = fullChart();
            chart->plot()->replot();
        });
        tempRecords.reset();
    }
}
BENCHMARK(BM_MemoryFullStoreAndChart)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReplotFullChart(benchmark::State& state) {
    const auto chart = fullChart();
    chart->plot()->replot();
    for (auto _ : state)
        chart->plot()->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_ReplotFullChart)->Unit(benchmark::kMillisecond);

// For comparison: plain QCPGraphs holding the same points, with their own adaptive sampling.
void BM_ReplotPlainGraphs(benchmark::State& state) {
    QCustomPlot plot;
    plot.resize(647, 311);
    plot.show();
    plot.legend->setVisible(true);
    for (int s = 0; s < 8; ++s)
        AddPlainGraph(plot, QPen(TemperatureChart::defaultSeriesColor(s), 2),
                      [s](int i) { return sampleValue(s, i); });
    plot.xAxis->setRange(0, kPoints - 1);
    plot.yAxis->setRange(-55, 125);
    plot.replot();
    for (auto _ : state)
        plot.replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_ReplotPlainGraphs)->Unit(benchmark::kMillisecond);

// Opening a full TermoLog file (about 36 MB) into the store and the chart.
void BM_OpenFullTermoLogFile(benchmark::State& state) {
    QTemporaryDir dir;
    OpenDialogs answers;
    answers.file = dir.filePath(QStringLiteral("termo.log"));
    state.counters["file_MB"] =
        WriteLines(answers.file, kPoints, [](int i) { return termoLogLine(i) + "\r\n"; });
    const ScopedInstall<Dialogs> installed(dialogsSeam, answers);
    TfmTermo window;
    for (auto _ : state) {
        window.bt_oeffnenClick();
        if (tempRecords.count() != kPoints || window.Chart1->pointCount() != kPoints)
            state.SkipWithError("file not loaded");
    }
    tempRecords.reset();
}
BENCHMARK(BM_OpenFullTermoLogFile)->Iterations(3)->Unit(benchmark::kMillisecond);

// One status telegram's recording with a full chart, through the window's own steps: a chart
// point per series with its label, one TermoLog line into the store and the count in the
// status bar (the queued replot is not part of it). The store starts with room for every
// iteration, so no iteration ends the recording.
constexpr int kRecordIterations = 200000;

void BM_RecordOneSampleNearlyFull(benchmark::State& state) {
    TfmTermo window;
    tempRecords.reset();
    for (int i = 0; i < kPoints - 1; ++i)
        window.Chart1->addSample(labelOf(i), sample(i));
    for (int i = 0; i < kPoints - 1 - kRecordIterations; ++i)
        tempRecords.append(termoLogLine(i));
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 0, 0));
    int i = 0;
    for (auto _ : state) {
        liveTemperatures = sample(i++);
        window.AddChartPoints(when);
        window.AppendRecord(when);
    }
    benchmark::DoNotOptimize(tempRecords.lines().back());
    tempRecords.reset();
}
BENCHMARK(BM_RecordOneSampleNearlyFull)
    ->Iterations(kRecordIterations)
    ->Unit(benchmark::kMicrosecond);

} // namespace
