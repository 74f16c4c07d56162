#pragma once

#include "link/link_state.h"

#include <array>
#include <cstdint>

// The TideSpan payload, read by the level decoder and written by the simulators and tests:
// three unsigned little-endian words (distance, fill height, volume in tens of litres) at
// offsets 2, 4 and 6, the fill percentage in byte 8; byte 9 is not used. Old firmware sends
// the same eight bytes in an 11-byte legacy frame whose last byte is the XOR of the others.

inline constexpr std::uint8_t kTypeLevel = 0x10;

inline constexpr int kDistanceOffset = 2;
inline constexpr int kHeightOffset = 4;
inline constexpr int kVolumeOffset = 6;
inline constexpr int kPercentOffset = 8;

struct LevelPayload {
    std::uint16_t distance = 0; // tenths of a centimetre, or whole centimetres (firmware V3)
    std::uint16_t height = 0;   // the same unit as the distance
    std::uint16_t volume = 0;   // tens of litres
    std::uint8_t percent = 0;   // whole percent
};

LevelPayload ReadLevelPayload(const Telegram& telegram);
// Writes the payload into bytes 2..9 of a telegram or legacy frame (byte 9 becomes 0).
void WriteLevelPayload(std::uint8_t* bytes, const LevelPayload& payload);

// A sealed level telegram as a transmitter at `address` sends it.
Telegram LevelTelegram(int address, const LevelPayload& payload);

inline constexpr int kLegacyFrameSize = 11;
using LegacyFrame = std::array<std::uint8_t, kLegacyFrameSize>;

// A legacy frame: bytes 0 and 1 as given (nobody reads them), the payload in 2..9, byte 10
// the XOR of bytes 0..9.
LegacyFrame LegacyLevelFrame(const LevelPayload& payload, std::uint8_t byte0 = 0x02,
                             std::uint8_t byte1 = 0x10);
// True when the XOR of all eleven bytes is 0.
bool LegacyFrameOk(const LegacyFrame& frame);
