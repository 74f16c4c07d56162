#include "alarm/check_alarms.h"
#include "support/fresh_state.h"
#include "temperature/temperature_decode.h"
#include "temperature/temperature_state.h"
#include "temperature_telegrams.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <map>

namespace {

// Records what the decoders show, in call order.
class FakeDisplay : public TemperatureDisplay {
public:
    QStringList calls;
    std::map<int, QString> texts;
    std::map<int, double> positions;
    int measurementToggles = 0;
    bool alarm = false, sensorError = false;
    std::map<int, bool> highRange;

    void toggleMeasurementLed() override {
        ++measurementToggles;
        calls << QStringLiteral("toggle");
    }
    void showChannelText(int channel, const QString& text) override {
        texts[channel] = text;
        calls << QStringLiteral("text%1").arg(channel);
    }
    void setChannelPosition(int channel, double value) override {
        positions[channel] = value;
        calls << QStringLiteral("gauge%1").arg(channel);
    }
    void setStatusLeds(bool a, bool e) override {
        alarm = a;
        sensorError = e;
        calls << QStringLiteral("leds");
    }
    void setHighRange(int channel, bool high) override {
        highRange[channel] = high;
        calls << QStringLiteral("range%1").arg(channel);
    }
    void recordSample(const QDateTime&) override { calls << QStringLiteral("record"); }
};

class Decode : public ::testing::Test, protected FreshState<ResetTemperatureTests> {
protected:
    void SetUp() override { WireTemperaturePath(&display); }
    FakeDisplay display;
};

struct Word {
    std::uint8_t low, high;
    double value;
    const char* text; // nullptr: no value, gauge untouched
};

TEST(TemperatureWord, DecodesTwosComplementTenths) {
    const Word words[] = {
        {0xD7, 0x00, 21.5, "21.5 °C"},       {0xFF, 0xFF, -0.1, "-0.1 °C"},
        {0x00, 0x80, -3276.8, "-3277.0 °C"}, {0xFF, 0x7F, 3276.7, nullptr},
        {0x00, 0x00, 0.0, "0.0 °C"},         {0xF1, 0xD8, -999.9, "-999.9 °C"},
        {0xF0, 0xD8, -1000.0, "-1000.0 °C"}, {0xFB, 0xCF, -1229.3, "-1229.0 °C"},
        {0xF9, 0xCF, -1229.5, "-1230.0 °C"},
    };
    for (const Word& w : words) {
        SCOPED_TRACE(w.value);
        EXPECT_DOUBLE_EQ(DecodeTemperatureWord(w.low, w.high), w.value);
        if (w.text) {
            EXPECT_EQ(TemperatureText(w.value), QString::fromUtf8(w.text));
        }
    }
}

TEST(TemperatureText, ExactTenthUpToFourDigits) {
    // Every tenth from -999.9 to 999.9 shows exactly, whatever its binary rounding.
    for (int raw = -9999; raw <= 9999; ++raw) {
        const int magnitude = std::abs(raw);
        const QString expected = QStringLiteral("%1%2.%3 °C")
                                     .arg(raw < 0 ? "-" : "")
                                     .arg(magnitude / 10)
                                     .arg(magnitude % 10);
        ASSERT_EQ(TemperatureText(raw / 10.0), expected) << raw;
    }
}

TEST(TemperatureDecode, ArePureStepsFromTelegramToReading) {
    const FreshState<ResetLinkState, ResetTemperatureState> fresh;
    const QDateTime time(QDate(2026, 12, 7), QTime(14, 0, 0));
    const TemperatureReading second = DecodeTemperatureTelegram1(
        TemperatureTelegram(kTestTermAdr, kTypeTemperature1, {21.5, -0.1, 150.0, 999.9}), time);
    EXPECT_EQ(second.time, time);
    EXPECT_EQ(second.firstChannel, 5);
    EXPECT_EQ(second.celsius, (std::array<double, 4>{21.5, -0.1, 150.0, 999.9}));
    const StatusReading status =
        DecodeStatusTelegram(StatusTelegram(kTestTermAdr, 0x3C, 0x02), time);
    EXPECT_TRUE(status.alarm() && status.sensorError());
    EXPECT_EQ(status.status, 0x3C);
    EXPECT_FALSE(status.highRange7);
    EXPECT_TRUE(status.highRange8);
    // Decoding alone counts nothing and stores nothing.
    EXPECT_EQ(tempTelegramCount, 0);
    EXPECT_EQ(liveTemperatures, (std::array<double, kTempChannels>{}));
}

TEST_F(Decode, TypeZeroFillsChannelsOneToFourAndTogglesTheLed) {
    SendTemperatureTelegram(kTypeTemperature0, {0xD7, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xDB, 0x05});
    EXPECT_EQ(tempTelegramCount, 1);
    EXPECT_EQ(display.measurementToggles, 1);
    EXPECT_EQ(liveTemperatures[0], 21.5);
    EXPECT_EQ(liveTemperatures[1], -0.1);
    EXPECT_EQ(liveTemperatures[2], -3276.8);
    EXPECT_EQ(liveTemperatures[3], 149.9);
    EXPECT_EQ(display.texts[1], QStringLiteral("21.5 °C"));
    EXPECT_EQ(display.texts[2], QStringLiteral("-0.1 °C"));
    EXPECT_EQ(display.texts[4], QStringLiteral("149.9 °C"));
    EXPECT_EQ(display.positions[3], -3276.8); // the gauge clamps it
    EXPECT_EQ(display.calls.first(), QStringLiteral("toggle"));
    for (int n = 5; n <= 8; ++n)
        EXPECT_EQ(display.texts.count(n), 0u) << n;
}

struct Limit {
    int channel;
    std::uint8_t low, high;
    double value;
    const char* text;
    bool gaugeMoves;
};

TEST_F(Decode, NoValueLimitPerChannel) {
    const Limit limits[] = {
        {3, 0xDB, 0x05, 149.9, "149.9 °C", true},  {3, 0xDC, 0x05, 150.0, "--.- °C", false},
        {6, 0x10, 0x27, 1000.0, "--.- °C", false}, {7, 0xDC, 0x05, 150.0, "150.0 °C", true},
        {7, 0x0F, 0x27, 999.9, "999.9 °C", true},  {7, 0x10, 0x27, 1000.0, "--.- °C", false},
        {8, 0xFF, 0x7F, 3276.7, "--.- °C", false},
    };
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.channel);
        SCOPED_TRACE(l.value);
        display.positions.clear();
        const int slot = (l.channel - 1) % 4;
        std::array<std::uint8_t, 8> payload{};
        payload[2 * slot] = l.low;
        payload[2 * slot + 1] = l.high;
        const std::uint8_t type = l.channel <= 4 ? kTypeTemperature0 : kTypeTemperature1;
        SendTemperatureTelegram(type, {payload[0], payload[1], payload[2], payload[3], payload[4],
                                       payload[5], payload[6], payload[7]});
        EXPECT_EQ(liveTemperatures[static_cast<std::size_t>(l.channel - 1)], l.value);
        EXPECT_EQ(display.texts[l.channel], QString::fromUtf8(l.text));
        EXPECT_EQ(display.positions.count(l.channel), l.gaugeMoves ? 1u : 0u);
    }
}

TEST_F(Decode, OnlyTypeZeroTogglesTheMeasurementLed) {
    SendTemperatureTelegram(kTypeTemperature1, {0xD7, 0x00});
    SendStatusTelegram(0x0C, 0x03);
    EXPECT_EQ(display.measurementToggles, 0);
    SendTemperatureTelegram(kTypeTemperature0, {});
    SendTemperatureTelegram(kTypeTemperature0, {});
    EXPECT_EQ(display.measurementToggles, 2);
    EXPECT_EQ(tempTelegramCount, 4);
}

TEST_F(Decode, StatusTelegramOrderWithRecording) {
    // The alarm check comes before anything the status telegram records or shows.
    settings.ck_al_led = true;
    struct Response : AlarmResponse {
        QStringList* calls;
        void showTemperatureWindow() override { *calls << QStringLiteral("alarm"); }
    } response;
    response.calls = &display.calls;
    {
        const ScopedInstall<AlarmResponse> installed(alarmResponse, response);
        tempRecords.recording = true;
        SendStatusTelegram(0x08, 0x01);
    }
    EXPECT_EQ(display.calls, QStringList({"alarm", "record", "leds", "range7", "range8"}));
    EXPECT_TRUE(display.alarm);
    EXPECT_FALSE(display.sensorError);
    EXPECT_TRUE(display.highRange[7]);
    EXPECT_FALSE(display.highRange[8]);

    display.calls.clear();
    tempRecords.recording = false;
    SendStatusTelegram(0x04 | 0x30 | 0x03, 0x02);
    EXPECT_EQ(display.calls, QStringList({"leds", "range7", "range8"}));
    EXPECT_FALSE(display.alarm);
    EXPECT_TRUE(display.sensorError);
    EXPECT_FALSE(display.highRange[7]);
    EXPECT_TRUE(display.highRange[8]);
    EXPECT_EQ(tempTelegramCount, 2);
}

TEST_F(Decode, WithoutADisplayOnlyLiveValuesAndCountsChange) {
    ResetTemperatureTests();
    WireTemperaturePath(); // the live values and the alarm check, but no display
    tempRecords.recording = true;
    SendTemperatureTelegram(kTypeTemperature1, {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00});
    SendStatusTelegram(0x08, 0x03);
    EXPECT_EQ(liveTemperatures[4], 0.1);
    EXPECT_EQ(liveTemperatures[7], 0.4);
    EXPECT_EQ(tempTelegramCount, 2);
    EXPECT_EQ(tempRecords.count(), 0);
}

} // namespace
