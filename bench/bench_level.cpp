// The level window with full charts and a full store: both charts replotted side by side
// with plain filled QCPGraphs, opening a full LevelLog file, memory.
#include "bench_common.h"
#include "chart/qcustomplot_include.h"
#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level/levellog_line.h"
#include "level/tidespan.h"
#include "platform/file_text.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <malloc.h>

namespace {

// A tank that fills and empties over the hours, with a ripple on the surface.
double percentAt(int i) {
    return 55 + 35 * std::sin(i / 5000.0) + ((i * 7919LL) % 31) / 10.0;
}

double heightAt(int i) {
    return std::floor(2.4 * percentAt(i));
}

QDateTime timeOf(int i) {
    return QDateTime(QDate(2026, 12, 7), QTime(0, 0)).addSecs(i);
}

// The window's two charts full, as after 100 hours of recording.
void fillCharts(TfmLevel& window) {
    for (int i = 0; i < kPoints; ++i) {
        levelPercent = percentAt(i);
        levelHeightCm = heightAt(i);
        window.AddChartPoints(timeOf(i));
    }
}

// The store full of the lines that recording writes.
void fillStore() {
    levelRecords.reset();
    for (int i = 0; i < kPoints; ++i)
        levelRecords.append(ToFileText(LevelChartLine(timeOf(i), percentAt(i))));
}

// Runs first of the level figures, the heap given back before: a full store with both charts
// above the idle window.
void BM_LevelMemoryFullStoreAndCharts(benchmark::State& state) {
    for (auto _ : state) {
        levelRecords.reset();
        TfmLevel window;
        window.show();
        const auto replot = [&] {
            window.chProzent->plot()->replot();
            window.chHoehe->plot()->replot();
        };
        replot();
        malloc_trim(0);
        CountMemory(state, "charts_MB", fillStore, [&] {
            fillCharts(window);
            replot();
        });
        levelRecords.reset();
    }
}
BENCHMARK(BM_LevelMemoryFullStoreAndCharts)->Iterations(1)->Unit(benchmark::kMillisecond);

// Two plain QCustomPlots at the charts' sizes, each with one filled QCPGraph (its own
// adaptive sampling) holding the same points.
struct PlainCharts {
    QCustomPlot percent, height;
    PlainCharts() {
        for (auto [plot, size, top, value] :
             {std::tuple{&percent, QSize(626, 169), 125.0, &percentAt},
              std::tuple{&height, QSize(629, 169), 300.0, &heightAt}}) {
            plot->resize(size);
            plot->show();
            AddPlainGraph(*plot, QPen(Qt::blue, 3), value)->setBrush(Qt::blue);
            plot->xAxis->setRange(0, kPoints - 1);
            plot->yAxis->setRange(0, top);
            plot->replot();
        }
    }
};

// Processor time of this thread: the replot draws in it alone, and other programs on the
// machine do not count.
double threadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double replotMs(QCustomPlot* a, QCustomPlot* b) {
    const double start = threadMs();
    a->replot(QCustomPlot::rpImmediateRefresh);
    b->replot(QCustomPlot::rpImmediateRefresh);
    return threadMs() - start;
}

// Both replots in turn, so that a change in the machine's load falls on both alike; the
// iteration time is ours, the counters give both means (processor time) and their ratio.
void BM_LevelReplotBothChartsBesidePlainGraphs(benchmark::State& state) {
    TfmLevel window;
    window.show();
    fillCharts(window);
    PlainCharts plain;
    QCustomPlot* ours[] = {window.chProzent->plot(), window.chHoehe->plot()};
    replotMs(ours[0], ours[1]);
    double oursMs = 0, plainMs = 0;
    int rounds = 0;
    for (auto _ : state) {
        const double o = replotMs(ours[0], ours[1]);
        state.PauseTiming();
        plainMs += replotMs(&plain.percent, &plain.height);
        state.ResumeTiming();
        oursMs += o;
        ++rounds;
    }
    state.counters["ours_ms"] = oursMs / rounds;
    state.counters["plain_ms"] = plainMs / rounds;
    state.counters["plain_per_ours"] = plainMs / oursMs;
}
BENCHMARK(BM_LevelReplotBothChartsBesidePlainGraphs)->Iterations(20)->Unit(benchmark::kMillisecond);

// Opening a full level data-logger file (about 25 MB) into the store and the chart.
void BM_OpenFullLevelLogFile(benchmark::State& state) {
    QTemporaryDir dir;
    OpenDialogs answers;
    answers.file = dir.filePath(QStringLiteral("level.log"));
    state.counters["file_MB"] = WriteLines(answers.file, kPoints, [](int i) {
        return ToFileText(LevelLoggerLine(timeOf(i), std::floor(percentAt(i)),
                                          10 * (3000 - 10 * heightAt(i)), 10 * heightAt(i))) +
               "\r\n";
    });
    const ScopedInstall<Dialogs> installed(dialogsSeam, answers);
    TfmLevel window;
    window.show();
    for (auto _ : state) {
        window.bt_oeffnenClick();
        if (levelRecords.count() != kPoints || window.chProzent->pointCount() != kPoints)
            state.SkipWithError("file not loaded");
    }
    levelRecords.reset();
}
BENCHMARK(BM_OpenFullLevelLogFile)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
