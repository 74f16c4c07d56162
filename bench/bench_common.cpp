#include "bench_common.h"

#include <QFile>

#include <fstream>
#include <unistd.h>

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void CountMemory(benchmark::State& state, const char* chartsCounter,
                 const std::function<void()>& fillStore, const std::function<void()>& fillCharts) {
    const double before = ResidentMegabytes();
    fillStore();
    const double store = ResidentMegabytes();
    fillCharts();
    const double after = ResidentMegabytes();
    state.counters["store_MB"] = store - before;
    state.counters[chartsCounter] = after - store;
    state.counters["total_MB"] = after - before;
}

QCPGraph* AddPlainGraph(QCustomPlot& plot, const QPen& pen,
                        const std::function<double(int)>& value) {
    QVector<QCPGraphData> points(kPoints);
    for (int i = 0; i < kPoints; ++i)
        points[i] = QCPGraphData(i, value(i));
    QCPGraph* graph = plot.addGraph();
    graph->setPen(pen);
    graph->data()->set(points, true);
    return graph;
}

double WriteLines(const QString& path, int count, const std::function<QByteArray(int)>& line) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray chunk;
    for (int i = 0; i < count; ++i) {
        chunk += line(i);
        if (chunk.size() > (1 << 20) || i == count - 1) {
            file.write(chunk);
            chunk.clear();
        }
    }
    return file.size() / (1024.0 * 1024.0);
}
