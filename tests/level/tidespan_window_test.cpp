#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level_window_test.h"
#include "support/fake_dialogs.h"
#include "widgets/dot_matrix_display.h"
#include "widgets/led.h"
#include "widgets/power_button.h"
#include "widgets/tank_gauge.h"

#include <QLabel>
#include <QTest>

namespace {

using TideSpanWindow = LevelWindowTest;

struct Example {
    bool wholeCentimetres; // CHK_V300, read per telegram
    LevelPayload payload;
    std::uint8_t byte9;
    double heightCm, distanceRaw, heightRaw;
    const char* readOuts; // lcdLiter rows 0 and 1, lcdHoehe rows 0 and 1, joined by "|"
};

TEST_F(TideSpanWindow, DecodesIntoTheReadOutsAndLiveValues) {
    // clang-format off
    const Example examples[] = {
        {false, {1234, 1239, 123, 57}, 0, 123, 1234, 1239,
         "   1230 Liter   |     57 %       |DISTANZ:123.4 cm|PEGEL  :123.9 cm"},
        {true, {250, 250, 7, 80}, 0, 250, 2500, 2500,
         "   70 Liter     |     80 %       |DISTANZ:250.0 cm|PEGEL  :250.0 cm"},
        {false, {5, 0, 0, 0}, 0, 0, 5, 0,
         "   00 Liter     |     0 %        |DISTANZ:0.5 cm  |PEGEL  :0.0 cm  "},
        {false, {0, 9, 1, 1}, 0, 0, 0, 9,
         "   10 Liter     |     1 %        |DISTANZ:0.0 cm  |PEGEL  :0.9 cm  "},
        {false, {65535, 65535, 65535, 255}, 0xFF, 6553, 65535, 65535,
         "   655350 Liter |     255 %      |DISTANZ:6553.5 c|PEGEL  :6553.5 c"},
        {true, {65535, 65535, 65535, 255}, 0xA5, 65535, 655350, 655350,
         "   655350 Liter |     255 %      |DISTANZ:65535.0 |PEGEL  :65535.0 "},
    };
    // clang-format on
    for (const Example& e : examples) {
        SCOPED_TRACE(e.readOuts);
        settings.CHK_V300 = e.wholeCentimetres;
        SendLevelTelegram(e.payload, e.byte9);
        EXPECT_EQ(QStringList({window->lcdLiter->text(0), window->lcdLiter->text(1),
                               window->lcdHoehe->text(0), window->lcdHoehe->text(1)})
                      .join(u'|'),
                  QLatin1String(e.readOuts));
        EXPECT_EQ(window->labProzent->text(), QStringLiteral("%1 %").arg(e.payload.percent));
        EXPECT_EQ(window->leveltank->position(), e.payload.percent);
        EXPECT_EQ(levelPercent, e.payload.percent);
        EXPECT_EQ(levelHeightCm, e.heightCm);
        EXPECT_EQ(levelDistanceRaw, e.distanceRaw);
        EXPECT_EQ(levelHeightRaw, e.heightRaw);
    }
    EXPECT_EQ(levelTelegramCount, 6);
    EXPECT_FALSE(window->led_messung->isActive()); // toggled six times
    SendLevelTelegram({});
    EXPECT_TRUE(window->led_messung->isActive());
    EXPECT_FALSE(window->led_alarm->isActive() || window->led_fehler->isActive());
}

TEST_F(TideSpanWindow, WaitsForDataInsideItsLayout) {
    for (DotMatrixDisplay* readOut : {window->lcdLiter, window->lcdHoehe}) {
        EXPECT_EQ(readOut->text(0), QStringLiteral("waiting for data"));
        EXPECT_EQ(readOut->text(1), QStringLiteral("      ...       "));
    }
    EXPECT_EQ(window->labProzent->text(), QStringLiteral("0 %"));
    EXPECT_EQ(window->size(), QSize(968, 474));
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : children) {
        EXPECT_TRUE(window->rect().contains(a->geometry())) << a->metaObject()->className();
        for (QWidget* b : children)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()));
    }
}

TEST_F(TideSpanWindow, RecordsWhileTheSwitchIsOnAndClearStartsAfresh) {
    SendLevelTelegram({0, 500, 0, 10});
    QTest::mouseClick(window->btRecord, Qt::LeftButton);
    for (std::uint8_t percent : {57, 130, 255})
        SendLevelTelegram({0, std::uint16_t(percent * 20 + 9), 0, percent});
    ASSERT_EQ(window->chProzent->pointCount(), 3);
    ASSERT_EQ(window->chHoehe->pointCount(), 3);
    EXPECT_EQ(window->chProzent->value(0, 1), 130.0);
    EXPECT_EQ(window->chHoehe->value(0, 1), 260.0);
    EXPECT_EQ(window->chHoehe->label(2), QStringLiteral("            10:15:30 / 07.12.2026"));
    EXPECT_EQ(window->chProzent->label(2), window->chHoehe->label(2));
    EXPECT_EQ(levelRecords.line(0), QByteArray("07.12.2026  ,  10:15:30  ,  57.0  ,  LevelLog"));
    EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze: 3"));

    QTest::mouseClick(window->SpeedButton4, Qt::LeftButton); // LÖSCHEN, still recording
    SendLevelTelegram({0, 300, 0, 40});
    EXPECT_EQ(window->chProzent->pointCount(), 1);
    EXPECT_EQ(window->chHoehe->value(0, 0), 30.0);
    EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze: 1"));

    QTest::mouseClick(window->btRecord, Qt::LeftButton); // off: only the read-outs go on
    SendLevelTelegram({0, 0, 0, 1});
    EXPECT_EQ(window->labProzent->text(), QStringLiteral("1 %"));
    EXPECT_EQ(levelRecords.count(), 1);
    EXPECT_EQ(window->chHoehe->pointCount(), 1);
}

TEST_F(TideSpanWindow, FullStoreSwitchesRecordingOff) {
    FakeDialogs dialogs;
    for (int i = 0; i < RecordStore::kCapacity - 1; ++i)
        levelRecords.append("07.12.2026  ,  10:00:00  ,  1.0  ,  LevelLog");
    for (int attempt = 0; attempt < 2; ++attempt) { // the second finds the store full
        QTest::mouseClick(window->btRecord, Qt::LeftButton);
        SendLevelTelegram({0, 0, 0, 99});
        EXPECT_FALSE(window->btRecord->isChecked() || levelRecords.recording);
    }
    EXPECT_EQ(levelRecords.count(), RecordStore::kCapacity);
    EXPECT_EQ(window->chProzent->pointCount(), 1);
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST(LevelDecode, IsAPureStepFromTelegramToReading) {
    const FreshState<ResetLinkState, ResetLevelState> fresh;
    const QDateTime time(QDate(2026, 12, 7), QTime(10, 15, 30));
    const LevelReading tenths =
        DecodeLevelTelegram(LevelTelegram(0, {1234, 1239, 123, 57}), false, time);
    EXPECT_EQ(tenths.time, time);
    EXPECT_EQ(tenths.percent, 57);
    EXPECT_EQ(tenths.heightCm, 123);
    EXPECT_EQ(tenths.distanceTenths, 1234);
    EXPECT_EQ(tenths.volumeLitres, 1230);
    EXPECT_EQ(tenths.volumeRows, (std::array<QString, 2>{"   1230 Liter", "     57 %"}));
    EXPECT_EQ(tenths.heightRows, (std::array<QString, 2>{"DISTANZ:123.4 cm", "PEGEL  :123.9 cm"}));
    const LevelReading whole = DecodeLevelTelegram(LevelTelegram(0, {250, 40, 0, 80}), true, time);
    EXPECT_EQ(whole.heightCm, 40);
    EXPECT_EQ(whole.heightTenths, 400);
    EXPECT_EQ(whole.heightRows[1], QStringLiteral("PEGEL  :40.0 cm"));
    // Decoding alone counts nothing and stores nothing.
    EXPECT_EQ(levelTelegramCount, 0);
    EXPECT_EQ(levelPercent, 0);
}

TEST(LevelDecode, WithoutAWindowOnlyLiveValuesAndTheCountChange) {
    const FreshState<ResetSettings, ResetLinkState, ResetLevelState> fresh;
    WireLevelPath();
    levelRecords.recording = true;
    SendLevelTelegram({1000, 400, 3, 42});
    EXPECT_EQ(levelTelegramCount, 1);
    EXPECT_EQ(levelHeightCm, 40);
    EXPECT_EQ(levelRecords.count(), 0);
}

} // namespace
