#pragma once

#include "link/link_state.h"

#include <QString>

#include <cstdint>
#include <functional>

// Checking, counting and handing over receiver telegrams. A link reads a frame (into
// rxTelegram) and calls AcceptTelegram with it; which decoder a telegram reaches is decided
// above this layer, by the dispatcher the program installs.

// Increments a 32-bit counter, wrapping from INT32_MAX to INT32_MIN (defined behaviour).
inline void CountUp(std::int32_t& counter) {
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1u);
}

// True when bytes 10 and 11 (low byte first) hold the CRC-16 of bytes 0 to 9.
bool TelegramCrcOk(const Telegram& telegram);

// Stores the CRC of bytes 0 to 9 in bytes 10 and 11 (the simulators and tests).
void SealTelegram(Telegram& telegram);

// The routine that hands a checked telegram to its decoder (DispatchTelegram in the
// program; none at start and after ResetLinkState).
using TelegramDispatcher = std::function<void(const Telegram& telegram)>;
void SetTelegramDispatcher(TelegramDispatcher dispatcher);

// Hands a checked telegram on: first to the consumers of acceptedTelegrams (link_state.h),
// in the order they were attached, then to the installed dispatcher (none: the telegram is
// only counted).
void HandOverTelegram(const Telegram& telegram);

// Counts a checked frame and hands it over, or counts a failed one. Returns whether it
// passed; the caller flushes its input on a failure.
bool AcceptTelegram(const Telegram& telegram);

// The status line of the diagnose window, built from the four counters.
QString StatusLine();
