#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/quit_on_signal.h"
#include "app/start_unit.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "link/usb_com.h"
#include "settings/settings.h"
#include "settings/setup.h"
#include "support/fake_dialogs.h"
#include "support/qt_print.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "app/diagnose.h"
#include "settings/fake_settings_store.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velcor_Monidesk/settings.reg");
}

// Start-up, a run and the exit against the real per-user file (in the tests' scratch home).
class SettingsLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(settingsFile());
        ResetProgramState();
        usb = std::make_unique<ScriptedUsbXpress>();
    }
    void TearDown() override {
        if (fmStart)
            DestroyWindows();
        usb.reset();
        usbOpen = false;
        QFile::remove(settingsFile());
        ResetSettings();
    }
    std::unique_ptr<ScriptedUsbXpress> usb; // installs itself

    // Creates the windows with a COM port in memory, so ticks touch no real port.
    static void createWindows() {
        CreateWindows();
        fmSerial->ComPort1 = std::make_unique<FakeSerialPort>();
    }
    FakeDialogs dialogs;
};

TEST_F(SettingsLifecycle, FirstRunGetsDefaultsAndExitMarksTheKey) {
    createWindows();
    EXPECT_EQ(settings.TERM_ADR, 17);
    EXPECT_EQ(settings.TLOG_PATH, "C:\\");
    EXPECT_EQ(settings.TNAME3, "TEMP 3");
    EXPECT_FALSE(QFile::exists(settingsFile())); // nothing is written before the exit

    settings.TERM_ADR = 23;
    settings.TNAME1 = "Küche";
    DestroyWindows();
    ASSERT_TRUE(QFile::exists(settingsFile()));

    // The next start loads what the last one saved and applies no defaults.
    ResetSettings();
    createWindows();
    EXPECT_EQ(settings.REGAPP, "INIT");
    EXPECT_EQ(settings.TERM_ADR, 23);
    EXPECT_EQ(settings.TNAME1, "Küche");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SettingsLifecycle, SigtermClosesLikeTheWindowAndTheSettingsAreSaved) {
    createWindows();
    fmStart->show();
    settings.GL_COM = 3;
    CloseOnTerminationSignals([] { fmStart->close(); });
    ::raise(SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (fmStart->Timer2->isActive() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(fmStart->Timer2->isActive());
    DestroyWindows(); // what main() does once the message loop has ended

    ResetSettings();
    createWindows();
    EXPECT_EQ(settings.GL_COM, 3);
}

TEST_F(SettingsLifecycle, NoTickBeforeTheWindowsExistEvenWhileAStartMessageIsOpen) {
    // A wrongly typed channel name makes loading show a box while the main window is being
    // created; the box's event loop must not run a tick, or the USB link would open before
    // the diagnose window exists and never show the receiver.
    FakeSettingsStore stored;
    stored.setText("REGAPP", "INIT");
    stored.setDword("TNAME2", 7);
    struct Source : SettingsStoreSource {
        FakeSettingsStore* store;
        std::unique_ptr<SettingsStore> make() override {
            return std::make_unique<FakeSettingsStore>(*store);
        }
    } source;
    source.store = &stored;
    const ScopedInstall<SettingsStoreSource> installed(settingsStoreSeam, source);
    usb->devices = 1;
    int callsDuringTheBox = -1;
    dialogs.whileMessageShown = [this, &callsDuringTheBox] {
        QElapsedTimer open;
        open.start();
        while (open.elapsed() < 350)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        callsDuringTheBox = usb->count("GetNumDevices");
    };
    createWindows();
    ASSERT_EQ(dialogs.messages, QStringList{QStringLiteral("Ungültiger Datentyp für 'TNAME2'")});
    EXPECT_EQ(callsDuringTheBox, 0);

    // Once the windows exist the ticks come, and the diagnose window shows the receiver.
    QElapsedTimer running;
    running.start();
    while (!usbOpen && running.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(usbOpen);
    EXPECT_EQ(fmDiagnose->l_devcount->text(), QStringLiteral("DEVICES : 1"));
}

// A settings file with a line that cannot be read: one message at start names the file
// kept aside and the line; what could be read stays in force (the logger keeps its path and
// switch), and the exit saves it into a whole file that the next start reads silently.
TEST_F(SettingsLifecycle, DamagedFileIsNamedOnceAndWhatCouldBeReadIsKept) {
    QTemporaryDir logs;
    const QByteArray logPath = QFile::encodeName(logs.filePath(QStringLiteral("termo.log")));
    const QByteArray damaged = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n"
                               "\"TLOG_PATH\"=\"" +
                               logPath +
                               "\"\r\n"
                               "\"REGAPP\"=\"INIT\"\r\n"
                               "\"TNAME1\"=\"Vorlauf\r\n"
                               "\"CHK_LEVELLOG\"=dword:00000000\r\n"
                               "\"CHK_TERMLOG\"=dword:00000001\r\n"
                               "\"FRE_LEVEL\"=dword:00000000\r\n"
                               "\"FRE_TERM\"=dword:00000002\r\n";
    const QString aside = settingsFile() + QStringLiteral(".bad");
    QFile::remove(aside);
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();

    createWindows();
    EXPECT_EQ(dialogs.messages,
              QStringList{QStringLiteral("Die Einstellungsdatei '") + settingsFile() +
                          QStringLiteral("' ist beschädigt.\nZeile 6 ist nicht lesbar: "
                                         "\"TNAME1\"=\"Vorlauf\nSie wurde als '") +
                          aside +
                          QStringLiteral("' beiseitegelegt. Es gelten die lesbaren Werte, für "
                                         "die übrigen die Grundeinstellungen.")});
    EXPECT_EQ(settings.TLOG_PATH, logPath.toStdString());
    EXPECT_TRUE(settings.CHK_TERMLOG);
    EXPECT_EQ(settings.FRE_TERM, 2);
    EXPECT_EQ(settings.TNAME1, "");
    DestroyWindows();

    ResetSettings();
    dialogs.messages.clear();
    createWindows();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(settings.TLOG_PATH, logPath.toStdString());
    EXPECT_TRUE(settings.CHK_TERMLOG);
    QFile kept(aside);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    QFile::remove(aside);
}

TEST_F(SettingsLifecycle, NamesTypedWhileTheSetupWindowStaysOpenAreLostAtTheEnd) {
    createWindows();
    fmStart->bt_setupClick();
    fmSetup->Edit[0]->setText(QStringLiteral("Vorlauf"));
    DestroyWindows(); // the program ends; the setup window was never closed

    ResetSettings();
    createWindows();
    EXPECT_EQ(settings.TNAME1, "TEMP 1");
}

} // namespace
