// Runs every test inside one offscreen QApplication, with the per-user folders pointed
// at a scratch directory so no test touches the real settings.
#include "platform/resources.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The offscreen platform cannot raise windows; that notice is noise in every test log.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("does not support raise()")) ||
        text.contains(QLatin1String("systemTrayWindowChanged")))
        return;
    fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietMessages);
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velcor Monidesk"));
    QApplication::setOrganizationName(QStringLiteral("Velcor"));
    QApplication::setQuitOnLastWindowClosed(false);
    InitResources();

    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
