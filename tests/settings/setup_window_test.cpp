#include "settings/settings.h"
#include "settings/settings_io.h"
#include "settings/setup.h"
#include "support/fake_dialogs.h"
#include "support/qt_print.h"
#include "support/settings_diff.h"
#include "widgets/address_knob.h"
#include "widgets/radio_group.h"
#include "widgets/segment_display.h"
#include "widgets/widget_shot.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <functional>

#include <gtest/gtest.h>

namespace {

class SetupWindow : public ::testing::Test {
protected:
    void SetUp() override { ResetSettings(); }
    void TearDown() override { ResetSettings(); }
    TfmSetup setup;
};

TEST_F(SetupWindow, ShowsThePortAndFirmwareSettings) {
    settings.GL_COM = 3;
    settings.CHK_V300 = true;
    setup.show();
    EXPECT_TRUE(setup.rg_port->button(3)->isChecked());
    EXPECT_TRUE(setup.chk_v300->isChecked());
    EXPECT_FALSE(setup.chk_v264->isChecked());
    EXPECT_EQ(settings.GL_COM, 3);
}

TEST_F(SetupWindow, PortChoiceIsWrittenAtOnce) {
    setup.show();
    EXPECT_TRUE(setup.rg_port->button(0)->isChecked()); // "USB"
    setup.rg_port->button(2)->click();
    EXPECT_EQ(settings.GL_COM, 2);
    setup.rg_port->button(0)->click();
    EXPECT_EQ(settings.GL_COM, 0);
}

TEST_F(SetupWindow, StoredPortOutsideTheItemsChecksNoneAndIsKept) {
    for (int stored : {7, -1}) {
        settings.GL_COM = stored;
        setup.FormShow();
        EXPECT_EQ(setup.rg_port->itemIndex(), -1);
        EXPECT_EQ(settings.GL_COM, stored);
    }
}

TEST_F(SetupWindow, FirmwareOptionsExcludeEachOther) {
    setup.show();
    setup.chk_v264->click();
    EXPECT_TRUE(settings.CHK_V264);
    EXPECT_FALSE(settings.CHK_V300);

    setup.chk_v300->click(); // the box just ticked stays, the other is cleared
    EXPECT_TRUE(setup.chk_v300->isChecked());
    EXPECT_FALSE(setup.chk_v264->isChecked());
    EXPECT_TRUE(settings.CHK_V300);
    EXPECT_FALSE(settings.CHK_V264);

    setup.chk_v300->click(); // unticking leaves both clear
    EXPECT_FALSE(settings.CHK_V300);
    EXPECT_FALSE(settings.CHK_V264);
}

TEST_F(SetupWindow, FirstRunValuesAreShownAndShowingWritesNothing) {
    ApplyFirstRunDefaults(settings);
    const Settings before = settings;
    setup.show();
    widgetShot(setup, QStringLiteral("setup_window")); // kept for a look when asked for
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(setup.Edit[n - 1]->text(), QStringLiteral("TEMP %1").arg(n));
    for (const QLineEdit* path : {setup.ed_tlog, setup.ed_llog})
        EXPECT_EQ(path->text(), QStringLiteral("C:\\"));
    EXPECT_FALSE(setup.ck_Termolog->isChecked() || setup.ck_Levellog->isChecked());
    EXPECT_EQ(setup.rg_frequ->itemIndex() + setup.lev_rg_frequ->itemIndex(), 0); // "1x STUNDE"
    EXPECT_EQ(setup.TermoKnob->address(), 17);
    EXPECT_EQ(setup.seg_termadr->shownText(), QStringLiteral("17"));
    EXPECT_EQ(setup.LevelKnob->address(), 0);
    EXPECT_EQ(setup.seg_levadr->shownText(), QStringLiteral(" 0")); // no leading zero
    EXPECT_FALSE(setup.chk_v264->isChecked() || setup.chk_v300->isChecked());
    EXPECT_EQ(setup.rg_port->itemIndex(), 0);
    EXPECT_EQ(ChangedSettings(before, settings), QStringList{});
}

TEST_F(SetupWindow, EachControlWritesItsOwnSettingAtOnce) {
    const std::pair<std::function<void()>, QStringList> cases[] = {
        {[&] { setup.ck_Termolog->click(); }, {"CHK_TERMLOG"}},
        {[&] { setup.ck_Levellog->click(); }, {"CHK_LEVELLOG"}},
        {[&] { QTest::keyClick(setup.ed_tlog, Qt::Key_X); }, {"TLOG_PATH"}},
        {[&] { QTest::keyClick(setup.ed_llog, Qt::Key_X); }, {"LLOG_PATH"}},
        {[&] { setup.rg_frequ->button(2)->click(); }, {"FRE_TERM"}},
        {[&] { setup.lev_rg_frequ->button(1)->click(); }, {"FRE_LEVEL"}},
        {[&] { QTest::keyClick(setup.TermoKnob, Qt::Key_PageUp); }, {"TERM_ADR"}},
        {[&] { QTest::keyClick(setup.LevelKnob, Qt::Key_PageUp); }, {"LEV_ADR"}},
        {[&] { QTest::keyClick(setup.Edit[0], Qt::Key_X); }, {}}, // names wait for the close
    };
    setup.show();
    for (const auto& [act, changed] : cases) {
        const Settings before = settings;
        act();
        EXPECT_EQ(ChangedSettings(before, settings), changed);
    }
    EXPECT_EQ(settings.TLOG_PATH, "x");
    EXPECT_EQ(settings.FRE_TERM, 2);
    EXPECT_EQ(setup.seg_termadr->shownText(), QStringLiteral(" 1"));
}

void Wheel(AddressKnob& knob, int delta) {
    const QPointF at(knob.width() / 2.0, knob.height() / 2.0);
    QWheelEvent event(at, knob.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&knob, &event);
}

TEST_F(SetupWindow, KnobAddressIsTheWholePartOfThePosition) {
    struct Case {
        std::int32_t stored;
        std::function<void(AddressKnob&)> turn;
        int tenths;
    };
    const auto keys = [](Qt::Key key, int times) {
        return [=](AddressKnob& knob) {
            for (int i = 0; i < times; ++i)
                QTest::keyClick(&knob, key);
        };
    };
    const Case cases[] = {
        {17, keys(Qt::Key_End, 1), 320},      // the end stop
        {0, keys(Qt::Key_Up, 9), 9},          // 0.9 is still 0
        {0, keys(Qt::Key_Up, 10), 10},        // 1.0 crosses to 1
        {17, keys(Qt::Key_Down, 1), 169},     // 16.9
        {17, keys(Qt::Key_PageDown, 2), 150}, // page keys step 1.0
        {17, [](AddressKnob& k) { Wheel(k, 120); }, 180},
        {17, [](AddressKnob& k) { Wheel(k, -60), Wheel(k, -60); }, 160}, // half notches add up
    };
    setup.show();
    for (const Case& c : cases) {
        settings.TERM_ADR = c.stored;
        setup.FormShow();
        c.turn(*setup.TermoKnob);
        EXPECT_EQ(setup.TermoKnob->value(), c.tenths);
        EXPECT_EQ(settings.TERM_ADR, c.tenths / 10);
        EXPECT_EQ(setup.seg_termadr->shownText(), QStringLiteral("%1").arg(c.tenths / 10, 2));
    }
}

TEST_F(SetupWindow, StoredValuesOutsideTheControlsAreShownAndKept) {
    const std::tuple<std::int32_t, const char*, int> cases[] = {
        {33, "33", 320}, {99, "99", 320}, {100, "--", 320}, {-5, "--", 0}};
    setup.show();
    for (const auto& [value, display, knobRestsAt] : cases) {
        settings.LEV_ADR = settings.FRE_LEVEL = value;
        settings.FRE_TERM = -value;
        const Settings before = settings;
        setup.FormShow();
        setup.LevelKnobClick(); // a click that does not turn the knob
        EXPECT_EQ(setup.seg_levadr->shownText(), QString::fromLatin1(display)) << value;
        EXPECT_EQ(setup.LevelKnob->value(), knobRestsAt) << value;
        EXPECT_EQ(setup.lev_rg_frequ->itemIndex(), -1) << value;
        EXPECT_EQ(setup.rg_frequ->itemIndex(), -1) << value;
        EXPECT_EQ(ChangedSettings(before, settings), QStringList{}) << value;
    }
    QTest::keyClick(setup.LevelKnob, Qt::Key_PageUp); // turning takes over what it points at
    EXPECT_EQ(settings.LEV_ADR, 1);
}

TEST_F(SetupWindow, BrowseTakesANewNameAndACancelChangesNothing) {
    FakeDialogs dialogs;
    settings.TLOG_PATH = "/old/termo.log";
    setup.show();
    setup.SpeedButton1->click(); // cancelled
    EXPECT_EQ(settings.TLOG_PATH, "/old/termo.log");
    EXPECT_EQ(setup.ed_tlog->text(), QStringLiteral("/old/termo.log"));

    // A name not there yet is taken: the logger creates the file.
    const QString level = QDir::toNativeSeparators(QStringLiteral("/logs/neu/level.log"));
    dialogs.openAnswers = {QStringLiteral("/logs/neu/level.log")};
    setup.SpeedButton2->click();
    EXPECT_EQ(dialogs.logFileDialogs, 2);
    EXPECT_EQ(settings.LLOG_PATH, level.toStdString());
    EXPECT_EQ(setup.ed_llog->text(), level);
}

// "Netzwerk…" takes space that no control of the window uses (only the HeatSpan group's frame
// runs around that corner), so every other control stays where it was.
TEST_F(SetupWindow, NetworkButtonCoversNoOtherControlAndAsksForTheNetworkWindow) {
    setup.show();
    const QRect button = setup.bt_network->geometry();
    EXPECT_TRUE(setup.rect().contains(button));
    for (const QWidget* control : setup.findChildren<QWidget*>()) {
        if (control == setup.bt_network || control == setup.GroupBox1)
            continue;
        const QRect place(control->mapTo(&setup, QPoint(0, 0)), control->size());
        EXPECT_FALSE(place.intersects(button)) << control->metaObject()->className();
    }
    QSignalSpy requested(&setup, &TfmSetup::networkRequested);
    setup.bt_network->click();
    EXPECT_EQ(requested.count(), 1);
}

} // namespace
