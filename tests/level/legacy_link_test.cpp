// Old TideSpan firmware end to end: 11-byte legacy frames through a real pseudo-terminal,
// the serial link and the dispatcher into the level window.
#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level_window_test.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/serial_port.h"
#include "platform/error_report.h"
#include "sim/sim_line.h"
#include "widgets/dot_matrix_display.h"
#include "widgets/power_button.h"

#include <QDir>

namespace {

using LegacyLevelFrames = LevelWindowTest;

TEST_F(LegacyLevelFrames, ReachTheLevelWindowThroughAPseudoTerminal) {
    settings.GL_COM = 3;
    settings.CHK_V264 = true;
    settings.LEV_ADR = 5;
    ScriptedUsbXpress usb; // no USB receiver
    TfmSerial holder;
    PtyLine line;
    ASSERT_TRUE(line.open() && LinkComPort(3, line.path()));
    const auto deliver = [&](const LegacyFrame& frame) {
        ASSERT_TRUE(line.send(QByteArray(reinterpret_cast<const char*>(frame.data()), 11)));
        ASSERT_TRUE(line.waitPending(11, 5000));
        ErrorReport::RunTick([&] { PollSerialReceiver(&holder); });
    };
    ErrorReport::RunTick([&] { PollSerialReceiver(&holder); }); // opens and empties the port
    ASSERT_TRUE(comOpen);

    window->btRecord->click();
    deliver(LegacyLevelFrame({1234, 1239, 123, 57}, 0x99, 0x42)); // bytes 0 and 1 unread
    EXPECT_EQ(window->lcdHoehe->text(0), QStringLiteral("DISTANZ:123.4 cm"));
    LegacyFrame broken = LegacyLevelFrame({0, 0, 0, 99});
    broken[10] ^= 0x01;
    deliver(broken);
    deliver(LegacyLevelFrame({500, 600, 7, 60}));
    EXPECT_EQ(okCount, 2);
    EXPECT_EQ(crcErrorCount, 1);
    EXPECT_EQ(levelTelegramCount, 2);
    EXPECT_EQ(window->chProzent->pointCount(), 2);
    EXPECT_EQ(levelRecords.count(), 2);
    QDir(DosDevicesFolder()).removeRecursively();
}

} // namespace
