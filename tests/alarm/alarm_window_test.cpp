#include "alarm/alarm.h"
#include "settings/settings.h"
#include "settings/settings_io.h"
#include "support/qt_print.h"
#include "support/settings_diff.h"
#include "widgets/widget_shot.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

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

TEST_F(AlarmWindow, TwoHalvesOfFiveBoxesTwentyPixelsApart) {
    window.show();
    widgetShot(window, QStringLiteral("alarm_window")); // kept for a look when asked for
    EXPECT_EQ(window.size(), QSize(317, 197));
    EXPECT_EQ(window.Panel4->text(), QStringLiteral("TideSpan"));
    EXPECT_EQ(window.Panel2->text(), QStringLiteral("HeatSpan"));
    EXPECT_TRUE(window.Panel4->font().bold());
    EXPECT_EQ(window.Panel4->font().pixelSize(), 16);
    EXPECT_LT(window.Panel3->x(), window.Panel1->x());
    EXPECT_EQ(window.GroupBox2->title(), QStringLiteral("Aktivierung"));
    const auto all = options();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(all[i].box->text(), QString::fromLatin1(all[i].caption));
        if (i % 5 != 0) {
            EXPECT_EQ(all[i].box->y() - all[i - 1].box->y(), 20) << all[i].setting;
        }
    }
}

TEST_F(AlarmWindow, ShowsTheStoredOptions) {
    ApplyFirstRunDefaults(settings);
    window.show();
    for (const Option& option : options())
        EXPECT_FALSE(option.box->isChecked()) << option.setting;
    window.hide();
    settings.lev_ck_al_out2 = true;
    settings.ck_al_buz = true;
    window.show();
    for (const Option& option : options())
        EXPECT_EQ(option.box->isChecked(),
                  option.box == window.lev_al_out2 || option.box == window.al_buz)
            << option.setting;
}

TEST_F(AlarmWindow, EachBoxWritesItsOwnSettingAndNothingElse) {
    window.show();
    for (const Option& option : options()) {
        for (bool ticked : {true, false}) {
            const Settings before = settings;
            option.box->click();
            EXPECT_EQ(option.box->isChecked(), ticked);
            EXPECT_EQ(ChangedSettings(before, settings),
                      QStringList{QString::fromLatin1(option.setting)});
        }
    }
}

} // namespace
