#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The one program-wide receiver telegram buffer and the four telegram counters.
// Each link reads a frame straight into rxTelegram; the decoders read it during
// DispatchTelegram. All of it lives on the GUI thread.

inline constexpr int kTelegramSize = 12;
using Telegram = std::array<std::uint8_t, kTelegramSize>;

inline constexpr std::uint8_t kTypeTemperature0 = 0x30;
inline constexpr std::uint8_t kTypeTemperature1 = 0x31;
inline constexpr std::uint8_t kTypeStatus = 0x32;
inline constexpr std::uint8_t kTypeLevel = 0x10;

extern Telegram rxTelegram;

extern std::int32_t okCount;
extern std::int32_t crcErrorCount;
extern std::int32_t tempTelegramCount;
extern std::int32_t levelTelegramCount;

// Increments a 32-bit counter, wrapping from INT32_MAX to INT32_MIN (defined behaviour).
inline void CountUp(std::int32_t& counter) {
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1u);
}

// True when bytes 10 and 11 (low byte first) hold the CRC-16 of bytes 0 to 9.
bool TelegramCrcOk(const Telegram& telegram);

// Stores the CRC of bytes 0 to 9 in bytes 10 and 11 (used by the simulators and tests).
void SealTelegram(Telegram& telegram);

// Hands the checked telegram in rxTelegram to the decoder of its address and type.
void DispatchTelegram();

// Counts a checked frame and dispatches it, or counts a failed one. Returns whether it
// passed; the caller flushes its input on a failure.
bool AcceptTelegram();

// Zeroes the buffer and the counters (tests only; the program never resets them).
void ResetTelegramState();

// The status line of the diagnose window, built from the four counters.
QString StatusLine();
