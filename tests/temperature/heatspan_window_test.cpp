#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/german_test.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_chart.h"
#include "temperature/temperature_state.h"
#include "temperature_telegrams.h"
#include "widgets/led.h"
#include "widgets/raised_label.h"
#include "widgets/thermometer_gauge.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A store holding `count` lines already.
void FillTempRecords(int count) {
    for (int i = 0; i < count; ++i)
        tempRecords.append(QByteArrayLiteral("07.12.2026  ,  13:00:00  ,  TermoLog"));
}

class HeatSpanWindow : public GermanTest<ResetTemperatureTests> {
protected:
    void SetUp() override {
        window = std::make_unique<TfmTermo>();
        WireTemperaturePath(window.get());
    }
    void TearDown() override {
        ResetTemperatureTests(); // the consumers go before the window
        window.reset();
    }

    ThermometerGauge& gauge(int channel) { return *window->iTerm.at(channel - 1); }
    QString text(int channel) { return window->gTemp.at(channel - 1)->text(); }
    static void sendChannel(int channel, double value) { SendChannel(channel, value); }

    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(14, 0, 0))};
    std::unique_ptr<TfmTermo> window;
};

TEST_F(HeatSpanWindow, StartsAtTheBottomWithPlaceholders) {
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(gauge(n).position(), -55.0);
        EXPECT_EQ(gauge(n).maximum(), 125.0);
        EXPECT_EQ(text(n), n <= 6 ? QStringLiteral("0.00 °C") : QStringLiteral("00.0 °C"));
    }
    EXPECT_FALSE(gauge(8).isEnabled());
    EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze:"));
}

TEST_F(HeatSpanWindow, TelegramsDriveTextsAndGauges) {
    SendTemperatureTelegram(kTypeTemperature0, {0xD7, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xDB, 0x05});
    EXPECT_EQ(text(1), QStringLiteral("21.5 °C"));
    EXPECT_EQ(gauge(1).position(), 21.5);
    EXPECT_EQ(text(2), QStringLiteral("-0.1 °C"));
    EXPECT_EQ(text(3), QStringLiteral("-3277.0 °C"));
    EXPECT_EQ(gauge(3).position(), -55.0);
    EXPECT_EQ(text(4), QStringLiteral("149.9 °C"));
    EXPECT_TRUE(window->led_messung->isActive());

    // Channel 4 loses its sensor: text only, the gauge keeps 149.9 clamped to 125.
    SendTemperatureTelegram(kTypeTemperature0, {0xD7, 0x00, 0, 0, 0, 0, 0xDC, 0x05});
    EXPECT_EQ(text(4), QStringLiteral("--.- °C"));
    EXPECT_EQ(gauge(4).position(), 125.0);
    EXPECT_EQ(liveTemperatures[3], 150.0);
    EXPECT_FALSE(window->led_messung->isActive());
}

TEST_F(HeatSpanWindow, StatusLedsAndRangesFollowEachStatusTelegram) {
    SendStatusTelegram(0x0C, 0x03);
    EXPECT_TRUE(window->led_alarm->isActive());
    EXPECT_TRUE(window->led_fehler->isActive());
    EXPECT_TRUE(window->led_t7->isActive());
    EXPECT_TRUE(window->led_t8->isActive());
    EXPECT_EQ(gauge(7).maximum(), 1000.0);
    EXPECT_EQ(gauge(8).maximum(), 1000.0);

    sendChannel(7, 600.0);
    EXPECT_EQ(gauge(7).position(), 600.0);
    SendStatusTelegram(0x30, 0x00);
    EXPECT_FALSE(window->led_alarm->isActive());
    EXPECT_FALSE(window->led_fehler->isActive());
    EXPECT_FALSE(window->led_t7->isActive());
    EXPECT_EQ(gauge(7).maximum(), 125.0);
    EXPECT_EQ(gauge(7).position(), 125.0);
    EXPECT_EQ(gauge(7).maxMarker(), 125.0);
    EXPECT_EQ(text(7), QStringLiteral("600.0 °C"));
}

TEST_F(HeatSpanWindow, ResetLeavesMarkersAtTheEndsUntilTheValueChanges) {
    sendChannel(2, 21.5);
    window->bt_reset_MMClick();
    EXPECT_EQ(gauge(2).maxMarker(), -55.0);
    EXPECT_EQ(gauge(2).minMarker(), 125.0);
    sendChannel(2, 21.5); // steady
    EXPECT_EQ(gauge(2).maxMarker(), -55.0);
    EXPECT_EQ(gauge(2).minMarker(), 125.0);
    sendChannel(2, 22.0);
    EXPECT_EQ(gauge(2).maxMarker(), 22.0);
    EXPECT_EQ(gauge(2).minMarker(), 22.0);
    sendChannel(2, 18.0);
    sendChannel(2, 30.0);
    EXPECT_EQ(gauge(2).minMarker(), 18.0);
    EXPECT_EQ(gauge(2).maxMarker(), 30.0);
}

TEST_F(HeatSpanWindow, HighRangeResetPullsOnlyTheMaximum) {
    SendStatusTelegram(0x00, 0x01);
    window->bt_reset_MMClick();
    sendChannel(7, 500.0);
    EXPECT_EQ(gauge(7).maxMarker(), 500.0);
    EXPECT_EQ(gauge(7).minMarker(), 125.0);
    sendChannel(7, 130.0);
    EXPECT_EQ(gauge(7).minMarker(), 125.0);
    sendChannel(7, 100.0);
    EXPECT_EQ(gauge(7).minMarker(), 100.0);
    EXPECT_EQ(gauge(7).maxMarker(), 500.0);
}

TEST_F(HeatSpanWindow, RecordingStoresOneLinePerStatusTelegram) {
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), 0);

    QTest::mouseClick(window->bt_aufnahme, Qt::LeftButton);
    ASSERT_TRUE(tempRecords.recording);
    SendTemperatureTelegram(kTypeTemperature0, {0xD7, 0x00, 0xDC, 0x00});
    SendStatusTelegram(0);
    SendTemperatureTelegram(kTypeTemperature1, {0, 0, 0, 0, 0x10, 0x27, 0xFF, 0xFF});
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), 2);
    EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze: 2"));
    EXPECT_EQ(tempRecords.line(0),
              QByteArray("07.12.2026  ,  14:00:00  ,  21.5  ,  22.0  ,  0.0  ,  0.0"
                         "  ,  0.0  ,  0.0  ,  0.0  ,  0.0  ,  TermoLog"));
    EXPECT_EQ(tempRecords.line(1),
              QByteArray("07.12.2026  ,  14:00:00  ,  21.5  ,  22.0  ,  0.0  ,  0.0"
                         "  ,  0.0  ,  0.0  ,  1000.0  ,  -0.1  ,  TermoLog"));

    QTest::mouseClick(window->bt_aufnahme, Qt::LeftButton);
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), 2);
}

TEST_F(HeatSpanWindow, ChartLabelAndRecordLineShareOneTime) {
    // A clock that has moved on by the next reading, as at a second boundary.
    clock.time = QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59));
    clock.function = [this] {
        const QDateTime now = clock.time;
        clock.time = clock.time.addSecs(1);
        return now;
    };
    window->bt_aufnahmeClick();
    SendStatusTelegram(0);
    SendStatusTelegram(0);
    ASSERT_EQ(tempRecords.count(), 2);
    EXPECT_EQ(window->Chart1->label(0), QStringLiteral("            23:59:59 / 07.12.2026"));
    EXPECT_TRUE(tempRecords.line(0).startsWith("07.12.2026  ,  23:59:59  ,  "));
    EXPECT_EQ(window->Chart1->label(1), QStringLiteral("            00:00:00 / 08.12.2026"));
    EXPECT_TRUE(tempRecords.line(1).startsWith("08.12.2026  ,  00:00:00  ,  "));
}

TEST_F(HeatSpanWindow, PressingRecordTwiceRecordsNothing) {
    window->bt_aufnahmeClick();
    window->bt_aufnahmeClick();
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), 0);
    EXPECT_FALSE(tempRecords.recording);
}

TEST_F(HeatSpanWindow, ClearStartsTheStoreAgainAtIndexZero) {
    window->bt_aufnahmeClick();
    sendChannel(1, 1.0);
    SendStatusTelegram(0);
    sendChannel(1, 2.0);
    SendStatusTelegram(0);
    QTest::mouseClick(window->SpeedButton5, Qt::LeftButton);
    EXPECT_EQ(tempRecords.count(), 0);
    EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze: 0"));
    EXPECT_TRUE(tempRecords.recording); // clearing does not stop the recording
    sendChannel(1, 3.0);
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), 1);
    EXPECT_TRUE(tempRecords.line(0).contains("  ,  3.0  ,  "));
}

TEST_F(HeatSpanWindow, FullStoreStopsRecordingAndSaysSoOnce) {
    FakeDialogs dialogs;
    FillTempRecords(RecordStore::kCapacity - 2);
    window->bt_aufnahmeClick();
    SendStatusTelegram(0);
    EXPECT_TRUE(tempRecords.recording);
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), RecordStore::kCapacity);
    EXPECT_FALSE(tempRecords.recording);
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral(
                                    "Datenspeicher voll: Aufnahme beendet (360001 Datensätze)")});
    EXPECT_FALSE(tempRecords.lines().back().isEmpty());

    SendStatusTelegram(0);
    EXPECT_EQ(dialogs.messages.size(), 1);

    // Switched on again with the store still full: nothing is written, the user is told.
    window->bt_aufnahmeClick();
    SendStatusTelegram(0);
    EXPECT_EQ(tempRecords.count(), RecordStore::kCapacity);
    EXPECT_FALSE(tempRecords.recording);
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(tempRecords.lines().size(), static_cast<std::size_t>(RecordStore::kCapacity));
}

TEST_F(HeatSpanWindow, ShowingTheWindowAppliesTheChannelNames) {
    settings.TNAME2 = "Kühlwasser";
    settings.TNAME8 = "Abgas";
    window->show();
    EXPECT_EQ(window->lab_t[1]->text(), QStringLiteral("Kühlwasser"));
    EXPECT_EQ(window->lab_t[7]->text(), QStringLiteral("Abgas"));
    settings.TNAME2 = "Vorlauf";
    window->hide();
    window->show();
    EXPECT_EQ(window->lab_t[1]->text(), QStringLiteral("Vorlauf"));
}

TEST_F(HeatSpanWindow, WidgetsStayInsideTheirColumns) {
    const QRect client = window->rect();
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(client.contains(child->geometry())) << child->metaObject()->className();
    // The range LEDs sit beside the narrowed names and inside their own columns.
    for (auto [led, n] : {std::pair{window->led_t7, 7}, std::pair{window->led_t8, 8}}) {
        const QRect name = window->lab_t.at(n - 1)->geometry();
        EXPECT_FALSE(led->geometry().intersects(name)) << n;
        EXPECT_LE(led->geometry().right(), window->iTerm.at(n - 1)->geometry().right()) << n;
    }
}

} // namespace
