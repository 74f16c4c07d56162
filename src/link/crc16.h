#pragma once

#include <cstdint>

// CRC-16 of the receiver telegram: generator 0x8005, initial value 0, no reflection,
// no final XOR (the catalogued CRC-16/UMTS). The polynomial is passed already shifted
// into the top of a 24-bit register, as every caller does with kCrcPolynomial.
inline constexpr std::uint32_t kCrcPolynomial = 0x800500;

// Shifts one byte through the register and returns the new register value.
std::uint32_t Crc16Step(std::uint8_t byte, std::uint32_t polynomial, std::uint32_t reg);

// CRC of `count` bytes of `data` (no byte is fed for a count of 0 or less).
std::uint16_t Crc16(const std::uint8_t* data, int count, std::uint32_t polynomial);
