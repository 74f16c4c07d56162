#include "app/monidesk.h"
#include "app/quit_on_signal.h"
#include "app/start_unit.h"
#include "link/usb_com.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>

#include <csignal>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Velcor Monidesk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MONIDESK_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Velcor"));
}

// Reads the command line before any window system is needed, so --help and --version
// work without a display. Returns whether --simulate was given.
bool parseCommandLine(int argc, char* argv[]) {
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
    parser.addOption(simulate);
    parser.process(core);
    return parser.isSet(simulate);
}

} // namespace

int main(int argc, char* argv[]) {
#ifdef Q_OS_UNIX
    // Past a file-size limit a write fails (EFBIG, and the save says so) instead of killing us.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const bool simulate = parseCommandLine(argc, argv);

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

    if (simulate)
        UseSimulatedReceiver();

    InitResources();
    CreateWindows();
    CloseOnTerminationSignals([] { fmStart->close(); });
    fmStart->show();
    const int result = QApplication::exec();
    DestroyWindows();
    return result;
}
