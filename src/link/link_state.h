#pragma once

#include "link/CP2102_USB.h"
#include "link/link_indicators.h"
#include "platform/consumer_list.h"
#include "platform/seam.h"

#include <array>
#include <cstdint>

// The program-wide state of the receiver links, all of it on the GUI thread.

inline constexpr int kTelegramSize = 12;
using Telegram = std::array<std::uint8_t, kTelegramSize>;

// The frame last read by either link (a legacy frame converted), also one that failed its
// check. The links read into it and hand it on; nothing downstream reads it from here.
extern Telegram rxTelegram;

// Every telegram that passed its check, handed to these consumers before the dispatcher
// sees it (HandOverTelegram): for whatever wants the raw telegram rather than a reading.
extern ConsumerList<Telegram> acceptedTelegrams;

// The telegram counters: zero at start, only ever incremented (wrapping), never saved.
extern std::int32_t okCount;
extern std::int32_t crcErrorCount;
extern std::int32_t tempTelegramCount;
extern std::int32_t levelTelegramCount;

// USB link: the handle of device 0 and whether it is open and configured. Every SI_Read
// gets usbReadOverlapped, which is never set, reset or waited on.
extern SI_HANDLE usbHandle;
extern bool usbOpen;
extern SiOverlapped usbReadOverlapped;

// Serial link: true once the COM port has been opened and configured.
extern bool comOpen;

// What the links show: nothing until the diagnose window installs itself.
extern Seam<LinkIndicators> linkIndicators;

// Puts the link layer back to its start (tests only: the program never resets it): the
// buffer, the counters, both links' flags, the indicators, the dispatcher, the consumers
// of accepted telegrams and the notice hook.
void ResetLinkState();
