// monidesk-soak: 100 hours of both transmitters at ten telegrams a second (3.6 million),
// pushed through the program's own poll tick at full speed: the simulated receiver on the
// USB link, dispatch, decoding, recording in both windows and both data loggers at one line
// a second into temporary files. It prints the resident memory every simulated 10 hours,
// the record counts, the log lines and the run time. A benchmark, not a test: it fails only
// when a store holds more than its bound or a log line is torn.
//
//   monidesk-soak [hours]   (default 100)
#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/start_unit.h"
#include "bench_common.h"
#include "level/level_state.h"
#include "link/CP2102_USB.h"
#include "link/link_state.h"
#include "link/simulated_receiver.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "temperature/temperature_state.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr std::int64_t kTickMs = 100;
const QDateTime kStart(QDate(2026, 12, 7), QTime(0, 0, 0));

// The simulated time, shared by the receiver and the loggers' clock.
std::int64_t simulatedMs = 0;

class SimulatedClock final : public Clock {
public:
    QDateTime now() override { return kStart.addMSecs(simulatedMs); }
};

// Messages (a full store says so once) are counted, never shown.
class CountingDialogs final : public Dialogs {
public:
    int messages = 0;
    int errors = 0;
    void message(QWidget*, const QString&) override { ++messages; }
    void error(QWidget*, const QString& text) override {
        ++errors;
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
    QString openFileName(QWidget*) override { return {}; }
    QString saveFileName(QWidget*) override { return {}; }
    bool print(QWidget*, QPrinter*) override { return false; }
};

// No settings file is read or written: the run starts from the first-run values.
class NoSettingsStore final : public SettingsStoreSource {
public:
    std::unique_ptr<SettingsStore> make() override { return nullptr; }
};

struct LogCheck {
    qint64 lines = 0;
    bool whole = true; // every line ends in CR LF
};

LogCheck checkLog(const QString& path) {
    LogCheck check;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return check;
    QByteArray tail;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        check.lines += chunk.count('\n');
        tail = chunk;
    }
    check.whole = tail.isEmpty() || tail.endsWith("\r\n");
    return check;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitResources();
    const int hours = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;

    SimulatedClock clock;
    CountingDialogs dialogs;
    NoSettingsStore noSettings;
    clockSeam.install(&clock);
    dialogsSeam.install(&dialogs);
    settingsStoreSeam.install(&noSettings);
    SimulatedReceiver receiver(
        StreamOptions{}, [] { return simulatedMs; }, kTickMs);
    usbXpressSeam.install(&receiver);

    ResetProgramState();
    CreateWindows();
    fmStart->Timer2->stop(); // the run drives the ticks itself
    QTemporaryDir dir;
    const QString termoLog = dir.filePath(QStringLiteral("termo.log"));
    const QString levelLog = dir.filePath(QStringLiteral("level.log"));
    settings.TLOG_PATH = termoLog.toStdString();
    settings.LLOG_PATH = levelLog.toStdString();
    settings.CHK_TERMLOG = settings.CHK_LEVELLOG = true;
    settings.FRE_TERM = settings.FRE_LEVEL = 2; // "1x SEKUNDE"
    tempRecords.recording = true;
    levelRecords.recording = true;

    const double idle = ResidentMegabytes();
    std::printf("soak: %d simulated hours, %lld ticks of %lld ms; resident at start %.1f MB\n",
                hours, static_cast<long long>(hours) * 36000, static_cast<long long>(kTickMs),
                idle);
    std::printf("%6s %10s %12s %12s %12s %10s\n", "hours", "telegrams", "temp records",
                "level records", "resident MB", "seconds");
    QElapsedTimer run;
    run.start();
    const std::int64_t ticksPerMinute = 60'000 / kTickMs;
    const std::int64_t ticksPerTenHours = 10 * 60 * ticksPerMinute;
    const std::int64_t ticks = static_cast<std::int64_t>(hours) * 60 * ticksPerMinute;
    for (std::int64_t tick = 1; tick <= ticks; ++tick) {
        simulatedMs += kTickMs;
        fmStart->Timer2Timer();
        if (tick % ticksPerMinute == 0) // the queued replots of the last minute, at once
            QCoreApplication::processEvents();
        if (tick % ticksPerTenHours == 0 || tick == ticks) {
            std::printf("%6.0f %10d %12d %12d %12.1f %10.1f\n", tick / 36000.0, okCount,
                        tempRecords.count(), levelRecords.count(), ResidentMegabytes(),
                        run.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    const LogCheck termo = checkLog(termoLog);
    const LogCheck level = checkLog(levelLog);
    std::printf("run time %.1f s; TermoLog %lld lines, LevelLog %lld lines; %d messages, %d "
                "errors; CRC errors %d\n",
                run.elapsed() / 1000.0, static_cast<long long>(termo.lines),
                static_cast<long long>(level.lines), dialogs.messages, dialogs.errors,
                crcErrorCount);

    const bool bounded = tempRecords.count() <= RecordStore::kCapacity &&
                         levelRecords.count() <= RecordStore::kCapacity;
    DestroyWindows();
    usbXpressSeam.install(nullptr);
    if (!bounded || !termo.whole || !level.whole) {
        std::printf("FAILED: a store beyond its bound or a torn log line\n");
        return 1;
    }
    return 0;
}
