#include "net/network_settings.h"
#include "net/network_window.h"
#include "net/password_keeper.h"
#include "support/fake_dialogs.h"
#include "widgets/led.h"
#include "widgets/radio_group.h"
#include "widgets/widget_shot.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class NetworkWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // No keyring answers (password_keeper_test.cpp): the password goes to the file of
        // the tests' scratch home.
        QFile::remove(PasswordKeeper::fallbackFilePath());
    }
    void TearDown() override { QFile::remove(PasswordKeeper::fallbackFilePath()); }

    NetworkSettings network;
    PasswordKeeper keeper;
    FakeDialogs dialogs;
    TfmNetwork window{network, keeper};
    QSignalSpy changed{&window, &TfmNetwork::settingsChanged};
};

TEST_F(NetworkWindow, ShowingFillsTheControlsAndWritesNothing) {
    network.host = QStringLiteral("broker.lan");
    network.port = 1884;
    network.rate = 2;
    window.show();
    widgetShot(window, QStringLiteral("network_window"));
    EXPECT_EQ(window.ed_host->text(), QStringLiteral("broker.lan"));
    EXPECT_EQ(window.se_port->value(), 1884);
    EXPECT_TRUE(window.rg_rate->button(2)->isChecked());
    EXPECT_TRUE(window.ck_discovery->isChecked());
    EXPECT_FALSE(window.ed_cafile->isEnabled()); // TLS is off
    EXPECT_EQ(window.ed_password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(network.port, 1884);
}

// Switches write at once and ask for a new connection each time; TLS takes the port along
// while it is still the other mode's usual one.
TEST_F(NetworkWindow, SwitchesAndThePortAreWrittenAtOnce) {
    window.show();
    window.ck_publish->click();
    EXPECT_TRUE(network.enabled);
    window.ck_tls->click();
    EXPECT_TRUE(network.tls);
    EXPECT_EQ(network.port, 8883);
    EXPECT_EQ(window.se_port->value(), 8883);
    EXPECT_TRUE(window.ed_cafile->isEnabled());
    window.se_port->setValue(8884);
    EXPECT_EQ(network.port, 8884);
    window.ck_tls->click(); // a port of the user's own stays
    EXPECT_EQ(network.port, 8884);
    window.rg_rate->button(3)->click();
    EXPECT_EQ(network.rate, 3);
    window.ck_discovery->click();
    EXPECT_FALSE(network.discovery);
    EXPECT_EQ(changed.count(), 6);

    dialogs.openAnswers = {QString(), QStringLiteral("/etc/ssl/ca.pem")};
    window.ck_tls->click();
    window.bt_cafile->click(); // cancelled
    EXPECT_EQ(network.caFile, QString());
    window.bt_cafile->click();
    EXPECT_EQ(network.caFile, QStringLiteral("/etc/ssl/ca.pem"));
    EXPECT_EQ(window.ed_cafile->text(), QStringLiteral("/etc/ssl/ca.pem"));
}

// A typed text is in the settings with every key; the new connection is asked for once the
// typing is done, also when the window closes with the focus still in the edit.
TEST_F(NetworkWindow, TypedTextsAreWrittenAtOnceAndCountWhenDone) {
    window.show();
    window.ed_host->selectAll();
    QTest::keyClicks(window.ed_host, QStringLiteral("broker"));
    EXPECT_EQ(network.host, QStringLiteral("broker"));
    EXPECT_EQ(changed.count(), 0);
    QTest::keyClick(window.ed_host, Qt::Key_Return);
    EXPECT_EQ(changed.count(), 1);

    QTest::keyClicks(window.ed_topic, QStringLiteral("halle/2"));
    EXPECT_EQ(network.baseTopic, QStringLiteral("halle/2"));
    window.close();
    EXPECT_EQ(changed.count(), 2);
}

// The password goes to the keeper, never into the settings, and is not shown back.
TEST_F(NetworkWindow, PasswordGoesToTheKeeperAndIsNotShownBack) {
    window.show();
    QSignalSpy stored(&keeper, &PasswordKeeper::stored);
    QTest::keyClicks(window.ed_password, QStringLiteral("geheim"));
    QTest::keyClick(window.ed_password, Qt::Key_Return);
    EXPECT_EQ(keeper.password(), QStringLiteral("geheim"));
    EXPECT_EQ(changed.count(), 1);
    ASSERT_TRUE(stored.wait(30000));
    window.hide();
    window.show();
    EXPECT_EQ(window.ed_password->text(), QString());
    EXPECT_EQ(window.ed_password->placeholderText(),
              QStringLiteral("in Datei gespeichert (nur für Sie lesbar)"));
    EXPECT_EQ(changed.count(), 1); // closing without typing asks for nothing
}

// Where no keyring answers and the file cannot be written (a file stands where its folder
// should be), the user is told once; the password typed still serves this run.
TEST_F(NetworkWindow, PasswordThatCannotBeKeptIsToldOnce) {
    const QString folder = QFileInfo(PasswordKeeper::fallbackFilePath()).absolutePath();
    QDir(folder).removeRecursively();
    QDir().mkpath(QFileInfo(folder).absolutePath()); // a fresh home has no parent yet
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window.show();
    QSignalSpy stored(&keeper, &PasswordKeeper::stored);
    QTest::keyClicks(window.ed_password, QStringLiteral("geheim"));
    QTest::keyClick(window.ed_password, Qt::Key_Return);
    ASSERT_TRUE(stored.wait(30000));
    QFile::remove(folder);
    EXPECT_FALSE(stored.at(0).at(0).toBool());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Fehler beim Schreiben der Datei '") +
                                               PasswordKeeper::fallbackFilePath() +
                                               QStringLiteral("': ")))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(keeper.password(), QStringLiteral("geheim"));
}

TEST_F(NetworkWindow, ConnectionLedAndLastError) {
    network.enabled = true;
    network.host = QStringLiteral("broker.lan");
    network.tls = true;
    window.show();
    window.showConnection(
        false,
        QStringLiteral("Der Broker hat die Anmeldung abgelehnt: Benutzer oder Passwort falsch"));
    EXPECT_FALSE(window.led_connection->isActive());
    EXPECT_EQ(window.l_connection->text(), QStringLiteral("Nicht verbunden"));
    EXPECT_EQ(
        window.l_error->text(),
        QStringLiteral("Der Broker hat die Anmeldung abgelehnt: Benutzer oder Passwort falsch"));
    widgetShot(window, QStringLiteral("network_window_error"));
    window.showConnection(true, {});
    EXPECT_TRUE(window.led_connection->isActive());
    EXPECT_EQ(window.l_connection->text(), QStringLiteral("Verbunden mit broker.lan:1883"));
    EXPECT_EQ(window.l_error->text(), QString());
}

} // namespace
