#include "app/monidesk.h"
#include "app/quit_on_signal.h"
#include "app/start_unit.h"
#include "link/usb_com.h"
#include "net/mqtt_option.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Velcor Monidesk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MONIDESK_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Velcor"));
}

struct CommandLine {
    bool simulate = false;
    std::optional<MqttOverride> mqtt;
    QString error; // what is wrong with it; empty when nothing
};

std::optional<QString> valueIfSet(const QCommandLineParser& parser,
                                  const QCommandLineOption& option) {
    return parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt;
}

// Reads the command line before any window system is needed, so --help and --version
// work without a display.
CommandLine parseCommandLine(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Monitoring and logging station for the HeatSpan and TideSpan transmitters."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Serve the USB link from the built-in simulated receiver "
                       "(HeatSpan at address 17, TideSpan at address 0)."));
    const QCommandLineOption mqtt(
        QStringLiteral("mqtt"),
        QStringLiteral("Publish the readings to the MQTT broker at HOST[:PORT] for this run "
                       "(PORT 1883, 8883 with TLS; IPv6 as [::1]:1884), e.g. --simulate "
                       "--mqtt localhost. Not saved: the Netzwerk window's settings stay."),
        QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption mqttTopic(
        QStringLiteral("mqtt-topic"),
        QStringLiteral("Base topic for this run with --mqtt (otherwise the setting, by "
                       "default monidesk/<host name>). Not saved."),
        QStringLiteral("BASE"));
    parser.addOptions({simulate, mqtt, mqttTopic});
    parser.process(core);
    MqttOptionResult mqttOptions =
        ParseMqttOptions(valueIfSet(parser, mqtt), valueIfSet(parser, mqttTopic));
    return {parser.isSet(simulate), mqttOptions.override, mqttOptions.error};
}

} // namespace

int main(int argc, char* argv[]) {
#ifdef Q_OS_UNIX
    // Past a file-size limit a write fails (EFBIG, and the save says so) instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "monidesk: %s\n", qPrintable(commandLine.error));
        return 1;
    }

    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title that does not end with
    // it ("Velcor Monidesk V2.0 — Velcor Monidesk"). The windows' captions are shown as
    // they are; the message boxes carry the program's name as their title.
    nameApplication();
    // The tray keeps the program alive while every window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // The windows are laid out in pixels for an 8 point face.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);

    // The program speaks German; so do the standard dialogs (file, print, message box).
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    if (commandLine.simulate)
        UseSimulatedReceiver();
    mqttOverride = commandLine.mqtt;

    InitResources();
    CreateWindows();
    CloseOnTerminationSignals([] { fmStart->close(); });
    fmStart->show();
    const int result = QApplication::exec();
    DestroyWindows();
    return result;
}
