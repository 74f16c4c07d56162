#include "sim/sim_options.h"

#include <QCommandLineParser>

namespace {

struct Options {
    QCommandLineOption device{QStringList{QStringLiteral("d"), QStringLiteral("device")},
                              QStringLiteral("Write to this serial device instead of creating a "
                                             "pseudo-terminal."),
                              QStringLiteral("path")};
    QCommandLineOption linkCom{
        QStringLiteral("link-com"),
        QStringLiteral("Link the pseudo-terminal as the program's COM <n> (the file "
                       "dosdevices/com<n> in ~/.config/Velcor_Monidesk)."),
        QStringLiteral("n")};
    QCommandLineOption legacy{QStringLiteral("legacy"),
                              QStringLiteral("Send 11-byte level frames with an XOR check byte "
                                             "at 4800 baud (TideSpan firmware < V2.64).")};
    QCommandLineOption rate{QStringLiteral("rate"),
                            QStringLiteral("Transmissions per second (default 4). Above 10 "
                                           "frames pile up between the program's ticks."),
                            QStringLiteral("per-second"), QStringLiteral("4")};
    QCommandLineOption heatSpan{QStringLiteral("heatspan-address"),
                                QStringLiteral("Address of the HeatSpan (default 17)."),
                                QStringLiteral("0-255"), QStringLiteral("17")};
    QCommandLineOption tideSpan{QStringLiteral("tidespan-address"),
                                QStringLiteral("Address of the TideSpan (default 0)."),
                                QStringLiteral("0-255"), QStringLiteral("0")};
    QCommandLineOption crcErrors{QStringLiteral("crc-errors"),
                                 QStringLiteral("Share of frames sent with a broken check "
                                                "(0 to 1, default 0)."),
                                 QStringLiteral("ratio"), QStringLiteral("0")};
    QCommandLineOption stray{QStringLiteral("stray"),
                             QStringLiteral("Share of transmissions that are a few stray bytes "
                                            "(0 to 1, default 0)."),
                             QStringLiteral("ratio"), QStringLiteral("0")};
    QCommandLineOption bursts{QStringLiteral("bursts"),
                              QStringLiteral("Share of frames sent back to back with the next "
                                             "one (0 to 1, default 0)."),
                              QStringLiteral("ratio"), QStringLiteral("0")};
    QCommandLineOption seed{QStringLiteral("seed"),
                            QStringLiteral("Seed of the simulated noise (default 1)."),
                            QStringLiteral("n"), QStringLiteral("1")};
    QCommandLineOption count{QStringLiteral("count"),
                             QStringLiteral("Stop after this many transmissions."),
                             QStringLiteral("n"), QStringLiteral("0")};
    QCommandLineOption quiet{QStringList{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("Print only the device path.")};
};

bool readNumber(const QCommandLineParser& parser, const QCommandLineOption& option, double low,
                double high, double& out, QString* error) {
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (!ok || value < low || value > high) {
        *error = QStringLiteral("--%1: %2 is not a number from %3 to %4")
                     .arg(option.names().constLast(), parser.value(option))
                     .arg(low)
                     .arg(high);
        return false;
    }
    out = value;
    return true;
}

} // namespace

std::optional<SimConfig> ParseSimArguments(const QStringList& arguments, QString* error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Transmitter simulator for Velcor Monidesk: sends the telegrams of a HeatSpan and a\n"
        "TideSpan (or legacy TideSpan frames) to a serial line, as a receiver on a COM port\n"
        "would. Without --device it creates a pseudo-terminal and prints its path.\n\n"
        "Example: monidesk-sim --link-com 1   (then choose COM 1 in the program's setup)"));
    parser.addHelpOption();
    parser.addVersionOption();
    const Options o;
    for (const auto* option : {&o.device, &o.linkCom, &o.legacy, &o.rate, &o.heatSpan, &o.tideSpan,
                               &o.crcErrors, &o.stray, &o.bursts, &o.seed, &o.count, &o.quiet})
        parser.addOption(*option);
    parser.process(arguments);
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: ") + parser.positionalArguments().first();
        return std::nullopt;
    }

    SimConfig config;
    double heat = 0, tide = 0, link = 0, seed = 0, count = 0;
    if (!readNumber(parser, o.rate, 0.01, 1000, config.rate, error) ||
        !readNumber(parser, o.heatSpan, 0, 255, heat, error) ||
        !readNumber(parser, o.tideSpan, 0, 255, tide, error) ||
        !readNumber(parser, o.crcErrors, 0, 1, config.stream.crcErrorRatio, error) ||
        !readNumber(parser, o.stray, 0, 1, config.stream.strayRatio, error) ||
        !readNumber(parser, o.bursts, 0, 1, config.stream.burstRatio, error) ||
        !readNumber(parser, o.seed, 0, 4294967295.0, seed, error) ||
        !readNumber(parser, o.count, 0, 1e15, count, error))
        return std::nullopt;
    if (parser.isSet(o.linkCom) && !readNumber(parser, o.linkCom, 1, 99, link, error))
        return std::nullopt;
    config.stream.heatSpanAddress = int(heat);
    config.stream.tideSpanAddress = int(tide);
    config.stream.seed = static_cast<std::uint32_t>(seed);
    config.stream.legacy = parser.isSet(o.legacy);
    config.device = parser.value(o.device);
    config.linkCom = int(link);
    config.count = static_cast<long long>(count);
    config.quiet = parser.isSet(o.quiet);
    if (config.linkCom > 0 && !config.device.isEmpty()) {
        *error = QStringLiteral("--link-com links the pseudo-terminal; it cannot be used with "
                                "--device");
        return std::nullopt;
    }
    return config;
}
