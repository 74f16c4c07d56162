#pragma once

#include "link/telegram.h"
#include "settings/settings.h"

#include <cstdint>
#include <initializer_list>

// Feeds HeatSpan telegrams through the link's check and the dispatcher, as the poll
// tick does. The payload fills bytes 2.. in order.
inline constexpr std::uint8_t kTestTermAdr = 17;

inline void SendTemperatureTelegram(std::uint8_t type,
                                    std::initializer_list<std::uint8_t> payload) {
    settings.TERM_ADR = kTestTermAdr;
    rxTelegram = Telegram{kTestTermAdr, type};
    std::size_t offset = 2;
    for (std::uint8_t byte : payload)
        rxTelegram[offset++] = byte;
    SealTelegram(rxTelegram);
    AcceptTelegram();
}

// A status telegram with the status byte (byte 2) and the range byte (byte 8).
inline void SendStatusTelegram(std::uint8_t status, std::uint8_t range = 0) {
    SendTemperatureTelegram(kTypeStatus, {status, 0, 0, 0, 0, 0, range, 0});
}
