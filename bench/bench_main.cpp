// Figures for the hot paths; run `monidesk-bench` (Google Benchmark flags apply).
#include "app/monidesk.h"
#include "link/crc16.h"
#include "link/telegram.h"

#include <QApplication>

#include <benchmark/benchmark.h>

static void BM_Crc16Telegram(benchmark::State& state) {
    Telegram telegram{0x11, 0x30, 1, 2, 3, 4, 5, 6, 7, 8};
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc16(telegram.data(), 10, kCrcPolynomial));
}
BENCHMARK(BM_Crc16Telegram);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitResources();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
