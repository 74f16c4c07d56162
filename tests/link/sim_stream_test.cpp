#include "link/sim_stream.h"
#include "link/telegram.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

Telegram asTelegram(const QByteArray& bytes) {
    Telegram t{};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.constData()), kTelegramSize, t.begin());
    return t;
}

double word(const Telegram& t, int at) {
    return std::int16_t(t[at] | t[at + 1] << 8) / 10.0;
}

TEST(SimStream, CyclesThroughBothTransmittersWithSealedTelegrams) {
    TelegramStream stream({.heatSpanAddress = 5, .tideSpanAddress = 9});
    const std::uint8_t expected[][2] = {{5, 0x30}, {5, 0x31}, {5, 0x32}, {9, 0x10}, {5, 0x30}};
    for (const auto& e : expected) {
        const QByteArray bytes = stream.next(1.0);
        ASSERT_EQ(bytes.size(), kTelegramSize);
        const Telegram t = asTelegram(bytes);
        EXPECT_EQ(t[0], e[0]);
        EXPECT_EQ(t[1], e[1]);
        EXPECT_TRUE(TelegramCrcOk(t));
    }
}

TEST(SimStream, ValuesDriftWithinTheirRoomsAndStatusBitsComeNowAndThen) {
    TelegramStream stream;
    double low[8], high[8];
    std::fill(std::begin(low), std::end(low), 1e9);
    std::fill(std::begin(high), std::end(high), -1e9);
    double tankLow = 1e9, tankHigh = -1e9;
    int alarms = 0, sensorErrors = 0, statuses = 0;
    for (int i = 0; i < 4 * 3600; ++i) { // one simulated hour at four telegrams a second
        const Telegram t = asTelegram(stream.next(i / 4.0));
        if (t[1] == kTypeTemperature0 || t[1] == kTypeTemperature1) {
            const int first = FirstChannelOf(t[1]) - 1;
            for (int c = 0; c < 4; ++c) {
                low[first + c] = std::min(low[first + c], word(t, 2 + 2 * c));
                high[first + c] = std::max(high[first + c], word(t, 2 + 2 * c));
            }
        } else if (t[1] == kTypeStatus) {
            ++statuses;
            alarms += (t[kStatusByte] & kStatusAlarm) != 0;
            sensorErrors += (t[kStatusByte] & kStatusSensorError) != 0;
        } else {
            tankLow = std::min<double>(tankLow, ReadLevelPayload(t).percent);
            tankHigh = std::max<double>(tankHigh, ReadLevelPayload(t).percent);
        }
    }
    for (int c = 0; c < 5; ++c) {
        EXPECT_GE(low[c], 17.5) << "room " << c + 1;
        EXPECT_LE(high[c], 25.0) << "room " << c + 1;
        EXPECT_GT(high[c] - low[c], 1.0) << "room " << c + 1; // it drifts
    }
    EXPECT_LT(low[5], 5.0);                         // outdoors
    EXPECT_NEAR((low[6] + high[6]) / 2, 60.0, 1.0); // boiler
    EXPECT_EQ(tankLow, 15);
    EXPECT_EQ(tankHigh, 90);
    EXPECT_GT(alarms, 0);
    EXPECT_LT(alarms, statuses / 2);
    EXPECT_GT(sensorErrors, 0);
    EXPECT_LT(sensorErrors, statuses / 10);
}

TEST(SimStream, LegacyFramesCarryTheLevelPayloadUnderTheirXor) {
    TelegramStream legacy({.legacy = true});
    EXPECT_EQ(legacy.frameSize(), 11);
    const QByteArray frame = legacy.next(100.0);
    ASSERT_EQ(frame.size(), 11);
    char check = 0;
    for (const char byte : frame)
        check = char(check ^ byte);
    EXPECT_EQ(check, 0);
    EXPECT_EQ(std::uint8_t(frame[8]), 28); // the tank at 100 s: 15 + 75 * 100 / 600 %
}

TEST(SimStream, FaultsOnRequest) {
    TelegramStream broken({.crcErrorRatio = 1.0});
    TelegramStream bursts({.burstRatio = 1.0});
    TelegramStream stray({.strayRatio = 1.0});
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(TelegramCrcOk(asTelegram(broken.next(i))));
        const QByteArray two = bursts.next(i);
        ASSERT_EQ(two.size(), 2 * kTelegramSize);
        EXPECT_TRUE(TelegramCrcOk(asTelegram(two.right(kTelegramSize))));
        const auto strayBytes = stray.next(i).size();
        EXPECT_GE(strayBytes, 1);
        EXPECT_LT(strayBytes, kTelegramSize);
    }
}

} // namespace
