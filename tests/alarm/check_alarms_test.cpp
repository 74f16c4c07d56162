#include "alarm/check_alarms.h"
#include "link/heatspan_telegram.h"
#include "settings/settings.h"
#include "support/fresh_state.h"

#include <gtest/gtest.h>

namespace {

class Alarms : public ::testing::Test,
               protected FreshState<ResetSettings, ResetAlarmState>,
               public AlarmResponse {
protected:
    void showTemperatureWindow() override { ++shows; }
    int shows = 0;
    const ScopedInstall<AlarmResponse> installed{alarmResponse, *this};
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
        CheckAlarms(c.status);
        EXPECT_EQ(shows, c.shows);
    }
}

TEST_F(Alarms, EveryMatchingStatusTelegramShowsAgain) {
    settings.ck_al_led = true;
    for (int i = 0; i < 3; ++i)
        CheckAlarms(kStatusAlarm);
    EXPECT_EQ(shows, 3);
}

} // namespace
