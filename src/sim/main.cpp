// monidesk-sim: the transmitter simulator for serial lines. Sends the telegram stream of
// the simulated HeatSpan and TideSpan to a pseudo-terminal (or a real serial device),
// so that the program's serial link can be watched at work.
#include "sim/sim_line.h"
#include "sim/sim_options.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

// Sends one transmission after another at the configured pace until stopped.
void run(SimLine& line, const SimConfig& config) {
    TelegramStream stream(config.stream);
    QElapsedTimer clock;
    clock.start();
    const auto period = std::chrono::duration<double>(1.0 / config.rate);
    auto due = std::chrono::steady_clock::now();
    long long sent = 0, dropped = 0;
    while (!stopRequested && (config.count == 0 || sent + dropped < config.count)) {
        const QByteArray bytes = stream.next(double(clock.elapsed()) / 1000.0);
        if (line.send(bytes))
            ++sent;
        else
            ++dropped;
        due += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        // In short steps: a signal does not cut a sleep short, and at a slow rate Ctrl+C
        // would otherwise wait for the next transmission.
        while (!stopRequested && std::chrono::steady_clock::now() < due)
            std::this_thread::sleep_until(
                std::min(due, std::chrono::steady_clock::now() + std::chrono::milliseconds(100)));
    }
    if (!config.quiet)
        out() << "sent " << sent << " transmissions, " << dropped << " dropped (nobody reading)"
              << Qt::endl;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("monidesk-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MONIDESK_VERSION));

    QString error;
    const auto config = ParseSimArguments(QCoreApplication::arguments(), &error);
    if (!config) {
        err() << "monidesk-sim: " << error << Qt::endl;
        return 2;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);

    PtyLine pty;
    std::unique_ptr<SimLine> serial;
    SimLine* line = nullptr;
    if (config->device.isEmpty()) {
        if (!pty.open(&error)) {
            err() << "monidesk-sim: " << error << Qt::endl;
            return 1;
        }
        line = &pty;
    } else {
        serial = OpenSerialLine(config->device, config->baud(), &error);
        if (!serial) {
            err() << "monidesk-sim: " << error << Qt::endl;
            return 1;
        }
        line = serial.get();
    }
    out() << line->path() << Qt::endl;
    if (config->linkCom > 0) {
        if (!LinkComPort(config->linkCom, line->path(), &error)) {
            err() << "monidesk-sim: " << error << Qt::endl;
            return 1;
        }
        if (!config->quiet)
            out() << "linked as COM " << config->linkCom << Qt::endl;
    }
    if (!config->quiet)
        out() << (config->stream.legacy ? "legacy 11-byte frames, 4800 baud"
                                        : "12-byte telegrams, 19200 baud")
              << ", " << config->rate << " per second; Ctrl+C stops" << Qt::endl;

    run(*line, *config);

    if (config->linkCom > 0)
        LeaveComLinkDangling(config->linkCom, line->path());
    return 0;
}
