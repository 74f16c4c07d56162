#include "alarm/alarm.h"
#include "settings/settings.h"
#include "settings/settings_io.h"
#include "support/qt_print.h"
#include "support/settings_diff.h"
#include "widgets/widget_shot.h"

#include <QCheckBox>

#include <gtest/gtest.h>

namespace {

class AlarmWindow : public ::testing::Test {
protected:
    void SetUp() override { ResetSettings(); }
    void TearDown() override { ResetSettings(); }
    TfmAlarm window;

    struct Option {
        QCheckBox* box;
        const char* setting;
        const char* caption;
    };
    // Each half from top to bottom, the TideSpan half first.
    std::array<Option, 10> options() {
        TfmAlarm& w = window;
        return {{{w.lev_al_led, "lev_ck_al_led", "ALARM LED"},
                 {w.lev_al_buz, "lev_ck_al_buz", "ALARM BUZZER"},
                 {w.lev_al_out1, "lev_ck_al_out1", "AUSGANG 1"},
                 {w.lev_al_out2, "lev_ck_al_out2", "AUSGANG 2"},
                 {w.lev_al_sf, "lev_ck_al_sf", "SENSORFEHLER"},
                 {w.al_led, "ck_al_led", "ALARM LED"},
                 {w.al_buz, "ck_al_buz", "ALARM BUZZER"},
                 {w.al_out1, "ck_al_out1", "AUSGANG 1"},
                 {w.al_out2, "ck_al_out2", "AUSGANG 2"},
                 {w.al_sf, "ck_al_sf", "SENSORFEHLER"}}};
    }
};

TEST_F(AlarmWindow, FirstRunShowsTenUntickedBoxes) {
    ApplyFirstRunDefaults(settings);
    window.show();
    widgetShot(window, QStringLiteral("alarm_window")); // kept for a look when asked for
    for (const Option& option : options()) {
        EXPECT_EQ(option.box->text(), QString::fromLatin1(option.caption));
        EXPECT_FALSE(option.box->isChecked()) << option.setting;
    }
}

TEST_F(AlarmWindow, EachBoxWritesItsOwnSettingAndShowsItAgain) {
    window.show();
    for (const Option& option : options()) {
        const Settings before = settings;
        option.box->click();
        EXPECT_EQ(ChangedSettings(before, settings),
                  QStringList{QString::fromLatin1(option.setting)});
        option.box->setChecked(false);
        window.hide();
        window.show(); // shown from the setting again
        EXPECT_TRUE(option.box->isChecked()) << option.setting;
    }
}

} // namespace
