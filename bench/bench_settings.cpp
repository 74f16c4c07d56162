// Loading the settings at start from the worst files the reader takes: each kind of file
// filled up to the size limit (and to 16 MB, the limit of earlier versions), read through
// the store as the start does. Time per load and the peak resident memory it took.
#include "bench_common.h"

#include "settings/file_settings_store.h"
#include "settings/settings_io.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

enum Kind { kValues, kHexValue, kEmptyLines, kComments, kOtherKeys, kBadLines };
const char* const kKindNames[] = {"values",   "hex_value",  "empty_lines",
                                  "comments", "other_keys", "bad_lines"};

constexpr qint64 kOldLimit = 16 * 1024 * 1024;

// A distinct value name per number, of characters that need no escape and have no case.
QByteArray nameOf(qint64 n) {
    static const char kDigits[] = "0123456789!#$%&'()*+,-./:;<>?@^_`{|}~";
    constexpr int kBase = sizeof kDigits - 1;
    QByteArray name;
    do {
        name += kDigits[n % kBase];
        n /= kBase;
    } while (n > 0);
    return name;
}

// The file of `kind` with as many lines as fit into `size` bytes (UTF-8, LF).
QByteArray worstFile(Kind kind, qint64 size) {
    QByteArray text = "Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CURRENT_USER\\Velcor_Monidesk]\n"
                      "\"REGAPP\"=\"INIT\"\n";
    text.reserve(size);
    if (kind == kHexValue) {
        // One expandable string as regedit wraps it, as long as the file allows.
        text += "\"TLOG_PATH\"=hex(2):";
        qint64 width = 19;
        while (text.size() + 16 < size) {
            text += "41,00,";
            width += 6;
            if (width >= 75) {
                text += "\\\n  ";
                width = 2;
            }
        }
        text += "00,00\n";
        return text;
    }
    for (qint64 n = 0;; ++n) {
        QByteArray line;
        switch (kind) {
        case kValues:
            line = "\"" + nameOf(n) + "\"=\"\"\n";
            break;
        case kEmptyLines:
            line = "\n";
            break;
        case kComments:
            line = ";\n";
            break;
        case kOtherKeys:
            line = n == 0 ? "[HKEY_CURRENT_USER\\Other]\n" : "@=\"\"\n";
            break;
        default:
            line = "x\n";
            break;
        }
        if (text.size() + line.size() > size)
            return text;
        text += line;
    }
}

qint64 statusKilobytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Starts the peak resident size (VmHWM) afresh at the current one.
void resetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void BM_LoadWorstSettingsFile(benchmark::State& state) {
    const Kind kind = Kind(state.range(0));
    const qint64 size = state.range(1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.reg"));
    const QByteArray bytes = worstFile(kind, size);
    const auto restore = [&] {
        QFile::remove(path + QStringLiteral(".bad"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    };
    restore();
    state.SetLabel(kKindNames[kind]);
    state.counters["file_MB"] = bytes.size() / (1024.0 * 1024.0);
    malloc_trim(0);
    resetPeakResident();
    const qint64 before = statusKilobytes("VmRSS:");
    int messages = 0;
    for (auto _ : state) {
        Settings loaded;
        FileSettingsStore store(path);
        LoadSettings(store, loaded, [&](const std::string&) { ++messages; });
        benchmark::DoNotOptimize(loaded);
        state.PauseTiming();
        if (!QFile::exists(path)) // set aside as damaged
            restore();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = (statusKilobytes("VmHWM:") - before) / 1024.0;
    // Messages per load: the read error of a file over the limit, the notice of a damaged one.
    state.counters["messages"] = double(messages) / double(state.iterations());
}

void worstFiles(benchmark::internal::Benchmark* bench) {
    for (int kind = kValues; kind <= kBadLines; ++kind) {
        bench->Args({kind, kMaxSettingsFileBytes});
        if (kMaxSettingsFileBytes != kOldLimit)
            bench->Args({kind, kOldLimit});
    }
}
BENCHMARK(BM_LoadWorstSettingsFile)
    ->Apply(worstFiles)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

} // namespace
