#pragma once

#include "link/link_state.h"

#include <array>
#include <cstdint>

// The HeatSpan payload, read by the temperature decoders and written by the simulators
// and tests. Types "0" and "1" carry four temperature words each (channels 1-4 and 5-8)
// at offsets 2, 4, 6 and 8; the status telegram "2" carries the status bits in byte 2 and
// the high-range bits of channels 7 and 8 in byte 8.

inline constexpr std::uint8_t kTypeTemperature0 = 0x30;
inline constexpr std::uint8_t kTypeTemperature1 = 0x31;
inline constexpr std::uint8_t kTypeStatus = 0x32;

inline constexpr int kStatusByte = 2;
inline constexpr std::uint8_t kStatusSensorError = 0x04;
inline constexpr std::uint8_t kStatusAlarm = 0x08;
inline constexpr std::uint8_t kStatusOutput2 = 0x10;
inline constexpr std::uint8_t kStatusOutput1 = 0x20;

inline constexpr int kRangeByte = 8;
inline constexpr std::uint8_t kRangeChannel7 = 0x01;
inline constexpr std::uint8_t kRangeChannel8 = 0x02;

inline constexpr int kWordsPerTelegram = 4;

// The first channel (1..8) a temperature telegram type carries.
inline constexpr int FirstChannelOf(std::uint8_t type) {
    return type == kTypeTemperature0 ? 1 : 5;
}
// Offset of the low byte of word `slot` (0..3).
inline constexpr int TemperatureWordOffset(int slot) {
    return 2 + 2 * slot;
}

// A temperature word: low byte first, two's complement, tenths of a degree.
double DecodeTemperatureWord(std::uint8_t low, std::uint8_t high);
// The word for a temperature, to the nearest tenth (wrapping outside the 16 bits).
std::uint16_t EncodeTemperatureWord(double celsius);

// Sealed telegrams as a transmitter at `address` sends them.
Telegram TemperatureTelegram(int address, std::uint8_t type,
                             const std::array<double, kWordsPerTelegram>& celsius);
Telegram StatusTelegram(int address, std::uint8_t status, std::uint8_t range = 0);
