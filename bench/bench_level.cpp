// The level window with full charts and a full store: both charts replotted side by side
// with plain filled QCPGraphs, opening a full LevelLog file, memory.
#include "chart/qcustomplot_include.h"
#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level/levellog_line.h"
#include "level/tidespan.h"
#include "platform/dialogs.h"
#include "platform/file_text.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kPoints = RecordStore::kCapacity; // 360001

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

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
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
        window.chProzent->plot()->replot();
        window.chHoehe->plot()->replot();
        malloc_trim(0);
        const double before = residentMegabytes();
        fillStore();
        const double store = residentMegabytes();
        fillCharts(window);
        window.chProzent->plot()->replot();
        window.chHoehe->plot()->replot();
        const double after = residentMegabytes();
        state.counters["store_MB"] = store - before;
        state.counters["charts_MB"] = after - store;
        state.counters["total_MB"] = after - before;
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
            QVector<QCPGraphData> points(kPoints);
            for (int i = 0; i < kPoints; ++i)
                points[i] = QCPGraphData(i, value(i));
            QCPGraph* graph = plot->addGraph();
            graph->setPen(QPen(Qt::blue, 3));
            graph->setBrush(Qt::blue);
            graph->data()->set(points, true);
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

class OpenDialogs : public Dialogs {
public:
    QString file;
    void message(QWidget*, const QString&) override {}
    void error(QWidget*, const QString&) override {}
    QString openFileName(QWidget*) override { return file; }
    QString saveFileName(QWidget*) override { return {}; }
    bool print(QWidget*, QPrinter*) override { return false; }
};

// Opening a full level data-logger file (about 25 MB) into the store and the chart.
void BM_OpenFullLevelLogFile(benchmark::State& state) {
    QTemporaryDir dir;
    OpenDialogs answers;
    answers.file = dir.filePath(QStringLiteral("level.log"));
    {
        QFile file(answers.file);
        file.open(QIODevice::WriteOnly);
        QByteArray chunk;
        for (int i = 0; i < kPoints; ++i) {
            chunk += ToFileText(LevelLoggerLine(timeOf(i), std::floor(percentAt(i)),
                                                10 * (3000 - 10 * heightAt(i)), 10 * heightAt(i))) +
                     "\r\n";
            if (chunk.size() > (1 << 20) || i == kPoints - 1) {
                file.write(chunk);
                chunk.clear();
            }
        }
        state.counters["file_MB"] = file.size() / (1024.0 * 1024.0);
    }
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
