#include "link/crc16.h"

#include <array>

namespace {

// A byte-wise table of the same register arithmetic; Crc16 gives the results of the
// bit-wise augmented form without its eight shifts per byte.
constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto kTable = makeTable();

} // namespace

std::uint32_t Crc16Step(std::uint8_t byte, std::uint32_t polynomial, std::uint32_t reg) {
    reg = (reg & ~0xFFu) | byte;
    for (int bit = 0; bit < 8; ++bit) {
        reg <<= 1;
        if (reg & 0x1000000u)
            reg ^= polynomial;
    }
    return reg;
}

std::uint16_t Crc16(const std::uint8_t* data, int count, std::uint32_t polynomial) {
    if (polynomial != kCrcPolynomial) {
        // Any other generator takes the bit-wise road, two zero bytes of augmentation.
        std::uint32_t reg = 0;
        for (int i = 0; i < count; ++i)
            reg = Crc16Step(data[i], polynomial, reg);
        reg = Crc16Step(0, polynomial, reg);
        reg = Crc16Step(0, polynomial, reg);
        return static_cast<std::uint16_t>((reg >> 8) & 0xFFFF);
    }
    std::uint16_t crc = 0;
    for (int i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}
