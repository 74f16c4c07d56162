// The links' notices reach the user through the general error report, after the tick.
#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/start_unit.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/usb_com.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "support/fake_dialogs.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class LinkNotices : public ::testing::Test {
protected:
    ScriptedUsbXpress usb; // installs itself
    void SetUp() override {
        ResetProgramState();
        CreateWindows();
        fmStart->Timer2->stop(); // only the ticks the test runs
        auto fake = std::make_unique<FakeSerialPort>();
        port = fake.get();
        fmSerial->ComPort1 = std::move(fake);
    }
    void TearDown() override {
        DestroyWindows();
        usbOpen = false;
        ResetProgramState();
    }
    FakeDialogs dialogs;
    FakeSerialPort* port = nullptr;
};

TEST_F(LinkNotices, RefusedPortIsShownOnceAfterItsTick) {
    settings.GL_COM = 2;
    port->denied = true;
    fmStart->Timer2Timer();
    EXPECT_TRUE(dialogs.errors.isEmpty()); // no box inside the tick
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.errors, QStringList{"Keine Berechtigung für COM2"});
    for (int i = 0; i < 5; ++i) {
        fmStart->Timer2Timer();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(port->logged(QStringLiteral("open COM2")), 6); // tried on every tick
}

TEST_F(LinkNotices, NoticeGivenWhileAnotherBoxIsOpenWaitsForIt) {
    settings.GL_COM = 2;
    port->denied = true;
    dialogs.whileErrorShown = [&] {
        if (dialogs.errors.size() > 1)
            return;
        fmStart->Timer2Timer(); // a tick inside the box's own loop gives the notice
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents();
    };
    ErrorReport::Report(QStringLiteral("Fehler beim Lesen von COM3"));
    EXPECT_EQ(dialogs.errors, QStringList{"Fehler beim Lesen von COM3"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.errors.size() == 2; }, 10000));
    EXPECT_EQ(dialogs.errors.value(1), QStringLiteral("Keine Berechtigung für COM2"));
    EXPECT_EQ(ErrorReport::SuppressedCount(), 0);
}

} // namespace
