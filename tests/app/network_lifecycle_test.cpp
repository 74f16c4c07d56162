#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/start_unit.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/usb_com.h"
#include "net/network_settings_store.h"
#include "net/network_window.h"
#include "net/password_keeper.h"
#include "platform/window_frame.h"
#include "settings/file_settings_store.h"
#include "settings/setup.h"
#include "support/fake_dialogs.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The program's start and end with the network window, against the real per-user files
// of the tests' scratch home (no keyring answers: password_keeper_test.cpp).
class NetworkLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        removeFiles();
        ResetProgramState();
    }
    void TearDown() override {
        if (fmStart)
            DestroyWindows();
        usbOpen = false;
        removeFiles();
        ResetProgramState();
    }
    static void removeFiles() {
        QFile::remove(UserSettingsFilePath());
        QFile::remove(PasswordKeeper::fallbackFilePath());
    }
    static void createWindows() {
        CreateWindows();
        fmSerial->ComPort1 = std::make_unique<FakeSerialPort>();
    }
    // settings.reg as text (UTF-16LE, as regedit writes it).
    static QString settingsText() {
        QFile file(UserSettingsFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                  bytes.size() / 2);
    }
    ScriptedUsbXpress usb; // installs itself
    FakeDialogs dialogs;
};

TEST_F(NetworkLifecycle, SetupButtonAndTrayMenuOpenTheNetworkWindow) {
    createWindows();
    fmStart->bt_setupClick();
    fmSetup->bt_network->click();
    EXPECT_TRUE(fmNetwork->isVisible());
    fmNetwork->close();

    QMenu* menu = fmStart->TR1->contextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Netzwerk"));
    menu->actions()[0]->trigger();
    EXPECT_TRUE(fmNetwork->isVisible());
}

// What the window edits is saved at exit beside the 32 and back at the next start; the
// password is kept apart from them, in a file only the user can read, and comes back too.
TEST_F(NetworkLifecycle, PasswordNeverReachesTheSettingsFile) {
    createWindows();
    ShowWindow(fmNetwork);
    QTest::keyClicks(fmNetwork->ed_user, QStringLiteral("anlage7"));
    QTest::keyClicks(fmNetwork->ed_password, QStringLiteral("Geheim-4711"));
    DestroyWindows(); // the window closes with the focus still in the password

    const QString text = settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("\"NET_USER\"=\"anlage7\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"TERM_ADR\"=dword:00000011")));
    EXPECT_FALSE(text.contains(QStringLiteral("Geheim")));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(PasswordKeeper::fallbackFilePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    ResetProgramState();
    createWindows();
    EXPECT_EQ(networkSettings.user, QStringLiteral("anlage7"));
    QSignalSpy loaded(passwordKeeper, &PasswordKeeper::loaded);
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_EQ(passwordKeeper->password(), QStringLiteral("Geheim-4711"));
}

// `--mqtt` publishes for the run and leaves the stored settings as they were.
TEST_F(NetworkLifecycle, MqttOptionIsNotSaved) {
    createWindows();
    networkSettings.host = QStringLiteral("broker.lan");
    DestroyWindows();

    ResetProgramState();
    mqttOverride = ParseMqttOptions(QStringLiteral("127.0.0.1:1884"), std::nullopt).override;
    createWindows();
    EXPECT_TRUE(networkSettings.enabled);
    EXPECT_EQ(networkSettings.host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(networkSettings.port, 1884);
    DestroyWindows();

    const QString text = settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("\"NET_HOST\"=\"broker.lan\"")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"NET_ENABLED\"=dword:00000000")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"NET_PORT\"=dword:0000075b")));
}

} // namespace
