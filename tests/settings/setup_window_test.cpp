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
#include <QRadioButton>
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
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(setup.Edit[n - 1]->text(), QStringLiteral("TEMP %1").arg(n));
    EXPECT_EQ(setup.ed_tlog->text(), QStringLiteral("C:\\"));
    EXPECT_EQ(setup.ed_llog->text(), QStringLiteral("C:\\"));
    EXPECT_FALSE(setup.ck_Termolog->isChecked());
    EXPECT_FALSE(setup.ck_Levellog->isChecked());
    EXPECT_TRUE(setup.rg_frequ->button(0)->isChecked()); // "1x STUNDE"
    EXPECT_TRUE(setup.lev_rg_frequ->button(0)->isChecked());
    EXPECT_EQ(setup.TermoKnob->address(), 17);
    EXPECT_EQ(setup.seg_termadr->shownText(), QStringLiteral("17"));
    EXPECT_EQ(setup.LevelKnob->address(), 0);
    EXPECT_EQ(setup.seg_levadr->shownText(), QStringLiteral(" 0")); // no leading zero
    EXPECT_FALSE(setup.chk_v264->isChecked());
    EXPECT_FALSE(setup.chk_v300->isChecked());
    EXPECT_TRUE(setup.rg_port->button(0)->isChecked());
    EXPECT_EQ(ChangedSettings(before, settings), QStringList{});
}

TEST_F(SetupWindow, EachControlWritesItsOwnSettingAtOnce) {
    struct Case {
        const char* name;
        std::function<void()> act;
        QStringList changed;
    };
    const Case cases[] = {
        {"logger box", [&] { setup.ck_Termolog->click(); }, {"CHK_TERMLOG"}},
        {"level logger box", [&] { setup.ck_Levellog->click(); }, {"CHK_LEVELLOG"}},
        {"one keystroke", [&] { QTest::keyClick(setup.ed_tlog, Qt::Key_X); }, {"TLOG_PATH"}},
        {"level keystroke", [&] { QTest::keyClick(setup.ed_llog, Qt::Key_X); }, {"LLOG_PATH"}},
        {"interval", [&] { setup.rg_frequ->button(2)->click(); }, {"FRE_TERM"}},
        {"level interval", [&] { setup.lev_rg_frequ->button(1)->click(); }, {"FRE_LEVEL"}},
        {"knob", [&] { QTest::keyClick(setup.TermoKnob, Qt::Key_PageUp); }, {"TERM_ADR"}},
        {"level knob", [&] { QTest::keyClick(setup.LevelKnob, Qt::Key_PageUp); }, {"LEV_ADR"}},
        {"port", [&] { setup.rg_port->button(4)->click(); }, {"GL_COM"}},
        {"a name waits for the close", [&] { QTest::keyClick(setup.Edit[0], Qt::Key_X); }, {}},
    };
    setup.show();
    for (const Case& c : cases) {
        const Settings before = settings;
        c.act();
        EXPECT_EQ(ChangedSettings(before, settings), c.changed) << c.name;
    }
    EXPECT_EQ(settings.TLOG_PATH, "x");
    EXPECT_EQ(settings.FRE_TERM, 2);
    EXPECT_EQ(settings.TERM_ADR, 1);
    EXPECT_EQ(setup.seg_termadr->shownText(), QStringLiteral(" 1"));
}

// What a user does to a knob, from where FormShow left it.
struct KnobCase {
    const char* name;
    std::int32_t stored;
    std::function<void(AddressKnob&)> turn;
    int position; // in tenths
    std::int32_t address;
};

void Keys(AddressKnob& knob, Qt::Key key, int times) {
    for (int i = 0; i < times; ++i)
        QTest::keyClick(&knob, key);
}

void Wheel(AddressKnob& knob, int delta) {
    const QPointF at(knob.width() / 2.0, knob.height() / 2.0);
    QWheelEvent event(at, knob.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&knob, &event);
}

TEST_F(SetupWindow, KnobAddressIsTheWholePartOfThePosition) {
    const KnobCase cases[] = {
        {"end stop", 17, [](AddressKnob& k) { Keys(k, Qt::Key_End, 1); }, 320, 32},
        {"0.9 is still 0", 0, [](AddressKnob& k) { Keys(k, Qt::Key_Up, 9); }, 9, 0},
        {"1.0 crosses to 1", 0, [](AddressKnob& k) { Keys(k, Qt::Key_Up, 10); }, 10, 1},
        {"17.0 down to 16.9", 17, [](AddressKnob& k) { Keys(k, Qt::Key_Down, 1); }, 169, 16},
        {"page key", 17, [](AddressKnob& k) { Keys(k, Qt::Key_PageDown, 2); }, 150, 15},
        {"wheel notch", 17, [](AddressKnob& k) { Wheel(k, 120); }, 180, 18},
        {"two half notches", 17,
         [](AddressKnob& k) {
             Wheel(k, -60);
             Wheel(k, -60);
         },
         160, 16},
        {"beyond the end", 32, [](AddressKnob& k) { Wheel(k, 240); }, 320, 32},
    };
    setup.show();
    for (const KnobCase& c : cases) {
        settings.TERM_ADR = c.stored;
        setup.FormShow();
        c.turn(*setup.TermoKnob);
        EXPECT_EQ(setup.TermoKnob->value(), c.position) << c.name;
        EXPECT_EQ(settings.TERM_ADR, c.address) << c.name;
        EXPECT_EQ(setup.seg_termadr->shownText(), QStringLiteral("%1").arg(c.address, 2)) << c.name;
    }
}

TEST_F(SetupWindow, StoredValuesOutsideTheControlsAreShownAndKept) {
    struct Case {
        std::int32_t value;
        const char* display;
        int knobRestsAt;
    };
    const Case cases[] = {{33, "33", 320}, {99, "99", 320}, {100, "--", 320}, {-5, "--", 0}};
    setup.show();
    for (const Case& c : cases) {
        settings.LEV_ADR = c.value;
        settings.FRE_LEVEL = c.value;
        settings.FRE_TERM = -c.value;
        const Settings before = settings;
        setup.FormShow();
        EXPECT_EQ(setup.seg_levadr->shownText(), QString::fromLatin1(c.display)) << c.value;
        EXPECT_EQ(setup.LevelKnob->value(), c.knobRestsAt) << c.value;
        EXPECT_EQ(setup.lev_rg_frequ->itemIndex(), -1) << c.value;
        EXPECT_EQ(setup.rg_frequ->itemIndex(), -1) << c.value;
        // A click that does not turn the knob keeps the stored address on the display.
        setup.LevelKnobClick();
        EXPECT_EQ(setup.seg_levadr->shownText(), QString::fromLatin1(c.display)) << c.value;
        EXPECT_EQ(ChangedSettings(before, settings), QStringList{}) << c.value;
    }
    // Turning the knob takes over what it points at.
    QTest::keyClick(setup.LevelKnob, Qt::Key_PageUp);
    EXPECT_EQ(settings.LEV_ADR, 1);
}

TEST_F(SetupWindow, BrowseTakesANewNameAndACancelChangesNothing) {
    FakeDialogs dialogs;
    settings.TLOG_PATH = "/old/termo.log";
    settings.LLOG_PATH = "/old/level.log";
    setup.show();
    dialogs.openAnswers = {QString(), QString()};
    setup.SpeedButton1->click();
    setup.SpeedButton2->click();
    EXPECT_EQ(settings.TLOG_PATH, "/old/termo.log");
    EXPECT_EQ(setup.ed_tlog->text(), QStringLiteral("/old/termo.log"));
    EXPECT_EQ(settings.LLOG_PATH, "/old/level.log");

    // A name not there yet is taken: the logger creates the file.
    dialogs.openAnswers = {QStringLiteral("/logs/neu/termo.log"),
                           QStringLiteral("/logs/neu/level.log")};
    setup.SpeedButton1->click();
    setup.SpeedButton2->click();
    EXPECT_EQ(dialogs.logFileDialogs, 4);
    const QString termo = QDir::toNativeSeparators(QStringLiteral("/logs/neu/termo.log"));
    EXPECT_EQ(settings.TLOG_PATH, termo.toStdString());
    EXPECT_EQ(setup.ed_tlog->text(), termo);
    EXPECT_EQ(settings.LLOG_PATH,
              QDir::toNativeSeparators(QStringLiteral("/logs/neu/level.log")).toStdString());
}

TEST_F(SetupWindow, KnobsAreRedOnSilverAndDisplaysRedOnWhite) {
    settings.TERM_ADR = 17;
    setup.show();
    const QImage shot = widgetShot(setup, QStringLiteral("setup_window"));
    const QPoint knob = setup.TermoKnob->mapTo(&setup, QPoint(0, 0));
    const QColor indicator = shot.pixelColor(knob + setup.TermoKnob->indicatorCentre().toPoint());
    EXPECT_GT(indicator.red(), 200);
    EXPECT_LT(indicator.green(), 60);
    const QColor face = shot.pixelColor(knob + setup.TermoKnob->rect().center());
    EXPECT_LT(std::abs(face.red() - face.blue()), 24); // grey, not coloured
    EXPECT_GT(face.red(), 120);

    const QRect display(setup.seg_termadr->mapTo(&setup, QPoint(0, 0)), setup.seg_termadr->size());
    int red = 0;
    int white = 0;
    for (int y = display.top() + 3; y < display.bottom() - 2; ++y)
        for (int x = display.left() + 3; x < display.right() - 2; ++x) {
            const QColor c = shot.pixelColor(x, y);
            red += c == QColor(Qt::red);
            white += c == QColor(Qt::white);
        }
    EXPECT_GT(red, 50);
    EXPECT_GT(white, red);
}

} // namespace
