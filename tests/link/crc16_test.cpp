#include "link/crc16.h"
#include "link/telegram.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// An independent bit-wise CRC-16 (poly 0x8005, init 0, no reflection, no final XOR),
// written the textbook way rather than as the augmented register.
std::uint16_t referenceCrc(const std::uint8_t* data, int count) {
    std::uint16_t crc = 0;
    for (int i = 0; i < count; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
    }
    return crc;
}

std::uint16_t augmentedCrc(const std::uint8_t* data, int count) {
    std::uint32_t reg = 0;
    for (int i = 0; i < count; ++i)
        reg = Crc16Step(data[i], kCrcPolynomial, reg);
    reg = Crc16Step(0, kCrcPolynomial, Crc16Step(0, kCrcPolynomial, reg));
    return static_cast<std::uint16_t>((reg >> 8) & 0xFFFF);
}

struct CheckValue {
    std::vector<std::uint8_t> bytes;
    std::uint16_t crc;
};

TEST(Crc16, PublishedCheckValues) {
    const std::vector<CheckValue> cases = {
        {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0xFEE8},
        {std::vector<std::uint8_t>(10, 0), 0x0000},
        {{0x11, 0x30, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}, 0x06CE},
    };
    for (const auto& c : cases) {
        const int n = static_cast<int>(c.bytes.size());
        EXPECT_EQ(Crc16(c.bytes.data(), n, kCrcPolynomial), c.crc);
        EXPECT_EQ(augmentedCrc(c.bytes.data(), n), c.crc);
    }
}

TEST(Crc16, NonPositiveCountFeedsNoData) {
    const std::uint8_t byte = 0xAB;
    EXPECT_EQ(Crc16(&byte, 0, kCrcPolynomial), 0);
    EXPECT_EQ(Crc16(&byte, -5, kCrcPolynomial), 0);
}

TEST(Crc16, TableFormAgreesWithBitwiseOnRandomTelegrams) {
    std::mt19937 rng(12345);
    for (int i = 0; i < 2000; ++i) {
        Telegram t{};
        for (auto& b : t)
            b = static_cast<std::uint8_t>(rng());
        const std::uint16_t reference = referenceCrc(t.data(), 10);
        ASSERT_EQ(Crc16(t.data(), 10, kCrcPolynomial), reference);
        ASSERT_EQ(augmentedCrc(t.data(), 10), reference);
    }
}

TEST(Crc16, StoredLowByteFirst) {
    Telegram t{0x11, 0x30, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    SealTelegram(t);
    EXPECT_EQ(t[10], 0xCE);
    EXPECT_EQ(t[11], 0x06);
    EXPECT_TRUE(TelegramCrcOk(t));
    std::swap(t[10], t[11]); // high byte first fails
    EXPECT_FALSE(TelegramCrcOk(t));
}

TEST(Crc16, TwelveZeroBytesPass) {
    Telegram t{};
    EXPECT_TRUE(TelegramCrcOk(t));
}

} // namespace
