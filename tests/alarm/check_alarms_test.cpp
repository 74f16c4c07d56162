#include "alarm/check_alarms.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_state.h"
#include "temperature_telegrams.h"
#include "widgets/led.h"

#include "app/program_state.h"

#include <gtest/gtest.h>

namespace {

class Alarms : public ::testing::Test, public AlarmResponse {
protected:
    void SetUp() override {
        ResetProgramState();
        alarmResponse.install(this);
    }
    void TearDown() override {
        alarmResponse.uninstall(this);
        ResetProgramState();
    }
    void showTemperatureWindow() override { ++shows; }
    int shows = 0;
};

struct Case {
    std::uint8_t status;
    bool led, sf, out1, out2, buz;
    int shows;
};

TEST_F(Alarms, EachEnabledOptionActsOnItsOwnBitOnly) {
    const Case cases[] = {
        // bit set, option off: nothing
        {kStatusAlarm, false, true, true, true, true, 0},
        {kStatusSensorError, true, false, true, true, true, 0},
        {kStatusOutput1, true, true, false, true, true, 0},
        {kStatusOutput2, true, true, true, false, true, 0},
        // bit set, option on
        {kStatusAlarm, true, false, false, false, false, 1},
        {kStatusSensorError, false, true, false, false, false, 1},
        {kStatusOutput1, false, false, true, false, false, 1},
        {kStatusOutput2, false, false, false, true, false, 1},
        // the buzzer option and unread bits act on nothing
        {0xFF, false, false, false, false, true, 0},
        {0xC3, true, true, true, true, true, 0},
        // several matches show the window once
        {0x3C, true, true, true, true, false, 1},
        {0x00, true, true, true, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "status " << int(c.status) << " led " << c.led << " sf " << c.sf << " out1 "
                     << c.out1 << " out2 " << c.out2 << " buz " << c.buz);
        settings.ck_al_led = c.led;
        settings.ck_al_sf = c.sf;
        settings.ck_al_out1 = c.out1;
        settings.ck_al_out2 = c.out2;
        settings.ck_al_buz = c.buz;
        shows = 0;
        SendStatusTelegram(c.status);
        EXPECT_EQ(shows, c.shows);
    }
}

TEST_F(Alarms, EveryMatchingStatusTelegramShowsAgain) {
    settings.ck_al_led = true;
    for (int i = 0; i < 3; ++i)
        SendStatusTelegram(kStatusAlarm);
    EXPECT_EQ(shows, 3);
}

TEST_F(Alarms, TemperatureTelegramsNeverShow) {
    settings.ck_al_led = settings.ck_al_sf = settings.ck_al_out1 = settings.ck_al_out2 = true;
    SendTemperatureTelegram(kTypeTemperature0, {0xFF, 0xFF});
    SendTemperatureTelegram(kTypeTemperature1, {0xFF, 0xFF});
    EXPECT_EQ(shows, 0);
}

TEST_F(Alarms, ShowsAndRaisesTheHiddenTemperatureWindow) {
    // The temperature window answers the alarms, as the program wires it.
    TfmTermo window;
    alarmResponse.install(&window);
    settings.ck_al_sf = true;

    SendStatusTelegram(kStatusAlarm); // alarm bit, but its option is off
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.led_alarm->isActive());

    SendStatusTelegram(kStatusSensorError);
    EXPECT_TRUE(window.isVisible());
    window.hide();
    SendStatusTelegram(kStatusSensorError);
    EXPECT_TRUE(window.isVisible());
    alarmResponse.uninstall(&window);
}

} // namespace
