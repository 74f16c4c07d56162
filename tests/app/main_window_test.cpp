#include "app/diagnose.h"
#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/start_unit.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "link/usb_com.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "settings/setup.h"
#include "support/fake_dialogs.h"
#include "temperature/heatspan.h"
#include "widgets/led.h"
#include "widgets/raised_label.h"

#include <QLineEdit>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        // The ticks reach neither the machine's USB bridges nor its COM ports.
        CreateWindows();
        auto portFake = std::make_unique<FakeSerialPort>();
        port = portFake.get();
        fmSerial->ComPort1 = std::move(portFake);
    }
    void TearDown() override {
        DestroyWindows();
        ResetProgramState();
    }
    FakeDialogs dialogs;
    ScriptedUsbXpress usbFake; // installs itself
    ScriptedUsbXpress* usb = &usbFake;
    FakeSerialPort* port = nullptr;
};

TEST_F(MainWindow, SixButtonsInARow) {
    const QToolButton* buttons[] = {fmStart->bt_tidespan, fmStart->bt_heatspan,
                                    fmStart->bt_setup,    fmStart->bt_alarm,
                                    fmStart->bt_diagnose, fmStart->bt_minimize};
    const char* captions[] = {"TideSpan", "HeatSpan", "Setup", "Alarm", "Diagnose", "Minimize"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(buttons[i]->geometry(), QRect(4 + 60 * i, 4, 60, 60));
        EXPECT_EQ(buttons[i]->text(), QString::fromLatin1(captions[i]));
        EXPECT_FALSE(buttons[i]->icon().isNull());
    }
    EXPECT_EQ(fmStart->windowTitle(), QStringLiteral("Velcor Monidesk V2.0"));
    EXPECT_EQ(fmStart->size(), QSize(366, 67));
}

TEST_F(MainWindow, StatusLineAppearsWithTheFirstTick) {
    EXPECT_EQ(fmDiagnose->l_incount->text(), QStringLiteral("-/-"));
    fmStart->Timer2Timer();
    EXPECT_EQ(fmDiagnose->l_incount->text(),
              QStringLiteral("OK : 0 / CRC : 0 / TideSpan : 0 / HeatSpan : 0"));
}

TEST_F(MainWindow, TickRunsFromTheTimerEveryHundredMilliseconds) {
    EXPECT_TRUE(fmStart->Timer2->isActive());
    EXPECT_EQ(fmStart->Timer2->interval(), 100);
}

TEST_F(MainWindow, TickPollsBothLinksAndShowsWhatTheyRead) {
    // A telegram dispatched during the links' turn is in the status line of the same tick.
    const bool usbLed = fmDiagnose->led_scanusb->isActive();
    const bool comLed = fmDiagnose->led_scancom->isActive();
    settings.TERM_ADR = 17;
    rxTelegram = Telegram{17, 0x31};
    SealTelegram(rxTelegram);
    AcceptTelegram(rxTelegram);
    fmStart->Timer2Timer();
    EXPECT_NE(fmDiagnose->led_scanusb->isActive(), usbLed);
    EXPECT_NE(fmDiagnose->led_scancom->isActive(), comLed);
    EXPECT_EQ(fmDiagnose->l_incount->text(),
              QStringLiteral("OK : 1 / CRC : 0 / TideSpan : 0 / HeatSpan : 1"));
}

TEST_F(MainWindow, TicksGoOnWhileTheErrorBoxOfATickIsOpen) {
    // A COM port that fails once open: every tick ends with an error after the USB poll.
    settings.GL_COM = 3;
    port->failOn = QStringLiteral("waiting");
    fmStart->Timer2->setInterval(0); // ticks as fast as the message loop turns
    int ticksInsideBox = 0;
    dialogs.whileErrorShown = [&] {
        // What the real box's own message loop does while it waits for the user.
        const int before = usb->count("GetNumDevices");
        for (int turn = 0; turn < 1000 && ticksInsideBox < 3; ++turn) {
            QCoreApplication::processEvents();
            ticksInsideBox = usb->count("GetNumDevices") - before;
        }
    };
    for (int turn = 0; turn < 1000 && dialogs.errors.isEmpty(); ++turn)
        QCoreApplication::processEvents();
    fmStart->Timer2->stop();
    EXPECT_EQ(dialogs.errors, QStringList{"Fehler an COM3 (waiting)"});
    EXPECT_GE(ticksInsideBox, 3);
    EXPECT_GE(ErrorReport::SuppressedCount(), 3); // their errors are counted, not shown
}

TEST_F(MainWindow, ButtonsShowTheirWindowOnceAndBringItToTheFront) {
    const int windowsBefore = QApplication::topLevelWidgets().size();
    QTest::mouseClick(fmStart->bt_diagnose, Qt::LeftButton);
    QTest::mouseClick(fmStart->bt_diagnose, Qt::LeftButton);
    QTest::mouseClick(fmStart->bt_heatspan, Qt::LeftButton);
    EXPECT_TRUE(fmDiagnose->isVisible());
    EXPECT_TRUE(fmTermo->isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    fmDiagnose->showMinimized();
    fmStart->bt_diagnoseClick();
    EXPECT_FALSE(fmDiagnose->isMinimized());
}

TEST_F(MainWindow, MinimizeWithoutATrayKeepsTheProgramReachable) {
    fmStart->show();
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this desktop has a tray";
    fmStart->bt_minimizeClick();
    EXPECT_FALSE(fmStart->inTray());
    EXPECT_TRUE(fmStart->isMinimized());
    EXPECT_FALSE(fmStart->TR1->isVisible());
}

TEST_F(MainWindow, TrayTakesTheOpenWindowsAlongAndAClickBringsThemBack) {
    fmStart->show();
    fmStart->bt_diagnoseClick();
    auto* passing = new QWidget(nullptr, Qt::Window); // a window that goes while in the tray
    passing->show();
    auto* tip = new QWidget(nullptr, Qt::ToolTip);
    tip->show();

    fmStart->minimizeToTray();
    EXPECT_TRUE(fmStart->inTray());
    EXPECT_TRUE(fmStart->TR1->isVisible());
    EXPECT_FALSE(fmStart->isVisible());
    EXPECT_FALSE(fmDiagnose->isVisible());
    EXPECT_TRUE(tip->isVisible()); // not a window of the program's
    tip->hide();
    delete passing;

    fmStart->TR1Click();
    EXPECT_FALSE(fmStart->TR1->isVisible());
    EXPECT_FALSE(fmStart->inTray());
    EXPECT_TRUE(fmStart->isVisible());
    EXPECT_TRUE(fmDiagnose->isVisible());
    EXPECT_FALSE(tip->isVisible());
    delete tip;
}

TEST_F(MainWindow, ClosingStopsTheTickAfterwardsNothingIsRead) {
    fmStart->show();
    fmStart->Timer2->setInterval(0);
    for (int turn = 0; turn < 1000 && usb->count("GetNumDevices") < 2; ++turn)
        QCoreApplication::processEvents(); // leaves the timer's next tick queued
    QElapsedTimer clock;
    clock.start();
    fmStart->close();
    EXPECT_GE(clock.elapsed(), 1000); // the one-second pause
    EXPECT_FALSE(fmStart->Timer2->isActive());
    const int polls = usb->count("GetNumDevices");
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(usb->count("GetNumDevices"), polls);
}

} // namespace

namespace {

TEST_F(MainWindow, ClosingSetupTakesOverTheChannelNames) {
    fmStart->bt_setupClick();
    EXPECT_EQ(fmSetup->Edit[1]->text(), QStringLiteral("TEMP 2"));
    fmSetup->Edit[0]->setText(QStringLiteral("Küche"));
    fmSetup->Edit[7]->setText(QString());
    EXPECT_EQ(settings.TNAME1, "TEMP 1"); // names wait for the close
    fmSetup->close();
    EXPECT_EQ(settings.TNAME1, "Küche");
    EXPECT_EQ(settings.TNAME8, "");
    EXPECT_EQ(fmTermo->lab_t[0]->text(), QStringLiteral("Küche"));
    EXPECT_FALSE(fmTermo->isVisible()); // applied to the hidden window too
}

TEST_F(MainWindow, ChannelNamesHoldEightCharacters) {
    fmSetup->Edit[2]->clear();
    QTest::keyClicks(fmSetup->Edit[2], QStringLiteral("Vorlauf12"));
    EXPECT_EQ(fmSetup->Edit[2]->text(), QStringLiteral("Vorlauf1"));
}

} // namespace
