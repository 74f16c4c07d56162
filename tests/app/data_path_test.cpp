// One telegram's way through the program as CreateWindows wires it: link, check, dispatch,
// decoder, reading, and the consumers of that reading in their order.
#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/start_unit.h"
#include "level/level_decode.h"
#include "level/level_state.h"
#include "level/tidespan.h"
#include "link/link_fakes.h"
#include "link/link_notice.h"
#include "link/link_test_util.h"
#include "link/serial_com.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/fresh_state.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_telegrams.h"
#include "widgets/led.h"
#include "widgets/power_button.h"

#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QDateTime kTickTime(QDate(2026, 12, 7), QTime(10, 0, 0));

class DataPath : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        CreateWindows();
        fmStart->Timer2->stop(); // only the ticks the test runs
        auto fake = std::make_unique<FakeSerialPort>();
        port = fake.get();
        fmSerial->ComPort1 = std::move(fake);
    }
    void TearDown() override {
        ResetSettings(); // what the windows save at the end is no test's business
        DestroyWindows();
        ResetProgramState();
    }
    GermanFormats german;
    FakeDialogs dialogs;
    ScriptedUsbXpress usb;
    FakeSerialPort* port = nullptr;
};

TEST_F(DataPath, TemperatureTelegramsNeverShowTheWindow) {
    settings.ck_al_led = settings.ck_al_sf = settings.ck_al_out1 = settings.ck_al_out2 = true;
    SendTemperatureTelegram(kTypeTemperature0, {0xFF, 0xFF});
    SendTemperatureTelegram(kTypeTemperature1, {0xFF, 0xFF});
    EXPECT_FALSE(fmTermo->isVisible());
}

TEST_F(DataPath, AlarmShowsAndRaisesTheHiddenTemperatureWindow) {
    settings.ck_al_led = false;
    settings.ck_al_sf = true;
    SendStatusTelegram(kStatusAlarm); // alarm bit, but its option is off
    EXPECT_FALSE(fmTermo->isVisible());
    EXPECT_TRUE(fmTermo->led_alarm->isActive());

    SendStatusTelegram(kStatusSensorError);
    EXPECT_TRUE(fmTermo->isVisible());
    fmTermo->hide();
    SendStatusTelegram(kStatusSensorError);
    EXPECT_TRUE(fmTermo->isVisible());
}

TEST_F(DataPath, AnAlarmIsInFrontBeforeAFullStoreSaysSo) {
    // The status reading reaches the alarm check before the window records it.
    for (int i = 0; i < RecordStore::kCapacity; ++i)
        tempRecords.append(QByteArrayLiteral("07.12.2026  ,  13:00:00  ,  TermoLog"));
    tempRecords.recording = true;
    settings.ck_al_led = true;
    bool shownWhenTold = false;
    dialogs.whileMessageShown = [&] { shownWhenTold = fmTermo->isVisible(); };
    SendStatusTelegram(kStatusAlarm);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(shownWhenTold);
}

TEST_F(DataPath, OneTickStampsItsReadingsAlikeAndLaterConsumersComeLast) {
    // Every reading of the clock is a second later than the one before.
    int clockReadings = 0;
    FakeClock clock;
    clock.function = [&] { return kTickTime.addSecs(clockReadings++); };
    settings.TERM_ADR = 17;
    settings.LEV_ADR = 0;
    settings.GL_COM = 3;
    tempRecords.recording = true;
    fmLevel->btRecord->click();
    // A consumer attached after the program's own, as a publisher would be.
    QStringList seen;
    acceptedTelegrams.attach(
        [&](const Telegram& t) { seen << QStringLiteral("telegram %1").arg(t[1]); });
    statusReadings.attach([&](const StatusReading& reading) {
        seen << QStringLiteral("status at %1, LED %2")
                    .arg(reading.time.toString(u"HH:mm:ss"))
                    .arg(fmTermo->led_alarm->isActive());
    });
    levelReadings.attach([&](const LevelReading& reading) {
        seen << QStringLiteral("level at %1, %2 / %3")
                    .arg(reading.time.toString(u"HH:mm:ss"))
                    .arg(levelPercent)
                    .arg(fmLevel->labProzent->text());
    });

    usb.devices = 1;
    usb.incoming = SealedBytes(17, kTypeStatus, {kStatusAlarm});
    port->incoming = SealedBytes(0, kTypeLevel, {0, 0, 0, 0, 0, 0, 57});
    fmStart->Timer2Timer(); // USB first, then COM
    EXPECT_EQ(seen, QStringList({"telegram 50", "status at 10:00:00, LED 1", "telegram 16",
                                 "level at 10:00:00, 57 / 57 %"}));
    ASSERT_EQ(tempRecords.count(), 1);
    ASSERT_EQ(levelRecords.count(), 1);
    EXPECT_TRUE(tempRecords.line(0).startsWith("07.12.2026  ,  10:00:00  ,  "));
    EXPECT_TRUE(levelRecords.line(0).startsWith("07.12.2026  ,  10:00:00  ,  57.0"));
}

TEST(ProgramState, ResetLeavesNoWiringBehind) {
    int calls = 0;
    SetTelegramDispatcher([&](const Telegram&) { ++calls; });
    SetLinkNoticeHook([&](const QString&) { ++calls; });
    acceptedTelegrams.attach([&](const Telegram&) { ++calls; });
    temperatureReadings.attach([&](const TemperatureReading&) { ++calls; });
    statusReadings.attach([&](const StatusReading&) { ++calls; });
    levelReadings.attach([&](const LevelReading&) { ++calls; });
    ResetProgramState();

    EXPECT_TRUE(AcceptTelegram(LevelTelegram(0, {})));
    ReceiveTemperatureTelegram0(TemperatureTelegram(17, kTypeTemperature0, {}));
    ReceiveStatusTelegram(StatusTelegram(17, 0));
    ReceiveLevelTelegram(LevelTelegram(0, {}));
    GiveLinkNotice(QStringLiteral("Keine Berechtigung für COM1"));
    EXPECT_EQ(calls, 0);
    ResetProgramState();
}

} // namespace
