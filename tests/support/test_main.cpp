// Runs every test inside one offscreen QApplication, with the per-user folders pointed
// at a scratch directory so no test touches the real settings.
#include "app/windows.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
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
