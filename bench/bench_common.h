#pragma once

// What the benchmark programs share: the full store's size, the process's resident memory,
// plain graphs to compare the charts with, large files written a megabyte at a time, and an
// open-file dialog that answers by itself.
#include "chart/qcustomplot_include.h"
#include "chart/record_store.h"
#include "platform/dialogs.h"

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

#include <functional>

// A full store, and a full chart: 100 hours at one sample a second, plus one.
inline constexpr int kPoints = RecordStore::kCapacity;

// This process's resident memory, in MB.
double ResidentMegabytes();

// The resident memory that `fillStore` takes, then `fillCharts` above it, as the counters
// store_MB, `chartsCounter` and total_MB.
void CountMemory(benchmark::State& state, const char* chartsCounter,
                 const std::function<void()>& fillStore, const std::function<void()>& fillCharts);

// `value` at 0 .. kPoints - 1 as one more plain graph of `plot`, with QCustomPlot's own
// adaptive sampling.
QCPGraph* AddPlainGraph(QCustomPlot& plot, const QPen& pen,
                        const std::function<double(int)>& value);

// Writes lines 0 .. count-1 (each with its own line end) into `path`, a megabyte at a time;
// returns the file's size in MB.
double WriteLines(const QString& path, int count, const std::function<QByteArray(int)>& line);

// Answers the open-file dialog with `file`; every other dialog is dismissed.
class OpenDialogs : public Dialogs {
public:
    QString file;
    void message(QWidget*, const QString&) override {}
    void error(QWidget*, const QString&) override {}
    QString openFileName(QWidget*) override { return file; }
    QString saveFileName(QWidget*) override { return {}; }
    bool print(QWidget*, QPrinter*) override { return false; }
};
