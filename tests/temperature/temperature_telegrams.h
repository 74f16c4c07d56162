#pragma once

#include "alarm/check_alarms.h"
#include "link/heatspan_telegram.h"
#include "link/telegram.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"
#include "temperature/temperature_state.h"

#include <cstdint>
#include <initializer_list>

// Feeds HeatSpan telegrams through the link's check and the dispatcher, as the poll
// tick does. The payload fills bytes 2.. in order.
inline constexpr std::uint8_t kTestTermAdr = 17;

// What the temperature tests start and end with.
inline void ResetTemperatureTests() {
    ErrorReport::Reset();
    ResetSettings();
    ResetLinkState();
    ResetAlarmState();
    ResetTemperatureState();
}

// The HeatSpan telegrams' way as far as this layer goes, wired as the program wires it: the
// dispatcher hands each HeatSpan telegram of TERM_ADR to its receiving step; a temperature
// reading goes to the live temperatures, then to `display`; a status reading to the alarm
// check, then to `display`.
inline void WireTemperaturePath(TemperatureDisplay* display = nullptr) {
    SetTelegramDispatcher([](const Telegram& telegram) {
        if (telegram[0] != settings.TERM_ADR)
            return;
        if (telegram[1] == kTypeTemperature0)
            ReceiveTemperatureTelegram0(telegram);
        if (telegram[1] == kTypeTemperature1)
            ReceiveTemperatureTelegram1(telegram);
        if (telegram[1] == kTypeStatus)
            ReceiveStatusTelegram(telegram);
    });
    temperatureReadings.attach(StoreLiveTemperatures);
    statusReadings.attach([](const StatusReading& reading) { CheckAlarms(reading.status); });
    if (!display)
        return;
    temperatureReadings.attach([display](const TemperatureReading& reading) {
        ShowTemperatureReading(reading, *display);
    });
    statusReadings.attach(
        [display](const StatusReading& reading) { ShowStatusReading(reading, *display); });
}

inline void SendTemperatureTelegram(std::uint8_t type,
                                    std::initializer_list<std::uint8_t> payload) {
    settings.TERM_ADR = kTestTermAdr;
    rxTelegram = Telegram{kTestTermAdr, type};
    std::size_t offset = 2;
    for (std::uint8_t byte : payload)
        rxTelegram[offset++] = byte;
    SealTelegram(rxTelegram);
    AcceptTelegram(rxTelegram);
}

// A sealed telegram through the check and the dispatcher.
inline void SendTelegram(const Telegram& telegram) {
    settings.TERM_ADR = kTestTermAdr;
    rxTelegram = telegram;
    AcceptTelegram(rxTelegram);
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
