#include "app/dispatch.h"
#include "app/program_state.h"
#include "link/telegram.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { restart(); }
    void TearDown() override { ResetProgramState(); }

    // A fresh program whose links hand checked telegrams to the dispatcher.
    static void restart() {
        ResetProgramState();
        SetTelegramDispatcher(DispatchTelegram);
    }
    // Puts a sealed telegram in rxTelegram and runs the link's check.
    static bool receive(std::uint8_t address, std::uint8_t type) {
        rxTelegram = Telegram{address, type};
        SealTelegram(rxTelegram);
        return AcceptTelegram(rxTelegram);
    }
};

struct Route {
    std::int32_t termAdr, levAdr;
    std::uint8_t address, type;
    int temp, level; // which counters the dispatch moves
};

TEST_F(Dispatch, RoutesByAddressAndType) {
    const Route routes[] = {
        {17, 0, 0x11, 0x30, 1, 0},   {17, 0, 0x11, 0x31, 1, 0},
        {17, 0, 0x11, 0x32, 1, 0},   {17, 0, 0x11, 0x33, 0, 0},
        {17, 0, 0x11, 0x10, 0, 0},   {17, 0, 0x00, 0x10, 0, 1},
        {17, 0, 0x00, 0x30, 0, 0},   {5, 5, 5, 0x10, 0, 1},
        {5, 5, 5, 0x30, 1, 0},       {256, 0, 0x00, 0x30, 0, 0},
        {-1, 0, 0xFF, 0x30, 0, 0},   {17, 256, 0x00, 0x10, 0, 0},
        {17, 255, 0xFF, 0x10, 0, 1}, {INT_MIN, INT_MAX, 0x00, 0x10, 0, 0},
    };
    for (const auto& r : routes) {
        restart();
        settings.TERM_ADR = r.termAdr;
        settings.LEV_ADR = r.levAdr;
        SCOPED_TRACE(::testing::Message()
                     << "TERM_ADR " << r.termAdr << " LEV_ADR " << r.levAdr << " address "
                     << int(r.address) << " type " << int(r.type));
        EXPECT_TRUE(receive(r.address, r.type));
        EXPECT_EQ(okCount, 1);
        EXPECT_EQ(tempTelegramCount, r.temp);
        EXPECT_EQ(levelTelegramCount, r.level);
    }
}

TEST_F(Dispatch, FailedCheckIsCountedAndNotDispatched) {
    settings.TERM_ADR = 17;
    rxTelegram = Telegram{0x11, 0x30};
    SealTelegram(rxTelegram);
    std::swap(rxTelegram[10], rxTelegram[11]);
    const Telegram failed = rxTelegram;
    EXPECT_FALSE(AcceptTelegram(rxTelegram));
    EXPECT_EQ(crcErrorCount, 1);
    EXPECT_EQ(okCount, 0);
    EXPECT_EQ(tempTelegramCount, 0);
    EXPECT_EQ(rxTelegram, failed); // the buffer keeps the failed bytes
}

TEST_F(Dispatch, ZeroTelegramCountsOkOnly) {
    rxTelegram = Telegram{};
    EXPECT_TRUE(AcceptTelegram(rxTelegram));
    EXPECT_EQ(okCount, 1);
    EXPECT_EQ(tempTelegramCount + levelTelegramCount, 0);
}

TEST(TelegramCounters, WrapAroundWithoutOverflow) {
    std::int32_t counter = INT_MAX;
    CountUp(counter);
    EXPECT_EQ(counter, INT_MIN);
    CountUp(counter);
    EXPECT_EQ(counter, INT_MIN + 1);
    counter = -1;
    CountUp(counter);
    EXPECT_EQ(counter, 0);
}

TEST(TelegramCounters, StatusLineShowsSignedCounts) {
    ResetLinkState();
    EXPECT_EQ(StatusLine(), QStringLiteral("OK : 0 / CRC : 0 / TideSpan : 0 / HeatSpan : 0"));
    okCount = INT_MIN;
    crcErrorCount = 7;
    levelTelegramCount = 12;
    tempTelegramCount = 345;
    EXPECT_EQ(StatusLine(),
              QStringLiteral("OK : -2147483648 / CRC : 7 / TideSpan : 12 / HeatSpan : 345"));
    ResetLinkState();
}

} // namespace
