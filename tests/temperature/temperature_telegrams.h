#pragma once

#include "link/heatspan_telegram.h"
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

// A sealed telegram through the check and the dispatcher.
inline void SendTelegram(const Telegram& telegram) {
    settings.TERM_ADR = kTestTermAdr;
    rxTelegram = telegram;
    AcceptTelegram();
}

// A status telegram with the status byte and the range byte.
inline void SendStatusTelegram(std::uint8_t status, std::uint8_t range = 0) {
    SendTelegram(StatusTelegram(kTestTermAdr, status, range));
}

// One channel's value in its type "0" (channels 1..4) or "1" (5..8) telegram; the other
// three channels of that telegram get 0.0.
inline void SendChannel(int channel, double celsius) {
    const std::uint8_t type = channel <= 4 ? kTypeTemperature0 : kTypeTemperature1;
    std::array<double, kWordsPerTelegram> values{};
    values[static_cast<std::size_t>(channel - FirstChannelOf(type))] = celsius;
    SendTelegram(TemperatureTelegram(kTestTermAdr, type, values));
}
