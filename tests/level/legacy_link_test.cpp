// Old TideSpan firmware end to end: 11-byte legacy frames through a real pseudo-terminal,
// the serial link and the dispatcher into the level window.
#include "app/program_state.h"
#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level/tidespan.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/serial_port.h"
#include "link/tidespan_telegram.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "sim/sim_line.h"
#include "support/fake_dialogs.h"
#include "widgets/dot_matrix_display.h"
#include "widgets/power_button.h"

#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const LegacyFrame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), kLegacyFrameSize);
}

TEST(LegacyLevelFrames, ReachTheLevelWindowThroughAPseudoTerminal) {
    ResetProgramState();
    settings.GL_COM = 3;
    settings.CHK_V264 = true;
    settings.LEV_ADR = 5;
    FakeDialogs dialogs;
    ScriptedUsbXpress usb; // no USB receiver
    auto holder = std::make_unique<TfmSerial>();
    TfmLevel window;
    PtyLine line;
    QString error;
    ASSERT_TRUE(line.open(&error)) << error.toStdString();
    ASSERT_TRUE(LinkComPort(3, line.path(), &error)) << error.toStdString();
    const auto tick = [&] { ErrorReport::RunTick([&] { PollSerialReceiver(holder.get()); }); };
    const auto deliver = [&](const QByteArray& bytes) {
        ASSERT_TRUE(line.send(bytes));
        ASSERT_TRUE(line.waitPending(int(bytes.size()), 5000));
        tick();
    };
    tick(); // opens the port (and empties it)
    ASSERT_TRUE(comOpen);

    window.btRecord->click();
    // Whatever the frame's first two bytes, it arrives as a level telegram of LEV_ADR.
    deliver(bytesOf(LegacyLevelFrame({1234, 1239, 123, 57}, 0x99, 0x42)));
    EXPECT_EQ(window.lcdHoehe->text(0), QStringLiteral("DISTANZ:123.4 cm"));

    LegacyFrame broken = LegacyLevelFrame({0, 0, 0, 99});
    broken[10] ^= 0x01;
    deliver(bytesOf(broken));
    deliver(bytesOf(LegacyLevelFrame({500, 600, 7, 60})));
    EXPECT_EQ(okCount, 2);
    EXPECT_EQ(crcErrorCount, 1);
    EXPECT_EQ(levelTelegramCount, 2);
    EXPECT_EQ(window.labProzent->text(), QStringLiteral("60 %"));
    ASSERT_EQ(window.chProzent->pointCount(), 2);
    EXPECT_EQ(levelRecords.count(), 2);
    EXPECT_TRUE(dialogs.errors.isEmpty());

    holder.reset();
    QDir(DosDevicesFolder()).removeRecursively();
    ResetProgramState();
}

} // namespace
