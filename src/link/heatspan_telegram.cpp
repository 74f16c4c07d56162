#include "link/heatspan_telegram.h"

#include "link/telegram.h"

#include <cmath>

double DecodeTemperatureWord(std::uint8_t low, std::uint8_t high) {
    int raw = low + 256 * high;
    if (raw > 32767)
        raw -= 65536;
    return raw / 10.0;
}

std::uint16_t EncodeTemperatureWord(double celsius) {
    return static_cast<std::uint16_t>(std::lround(celsius * 10.0) & 0xFFFF);
}

Telegram TemperatureTelegram(int address, std::uint8_t type,
                             const std::array<double, kWordsPerTelegram>& celsius) {
    Telegram t{static_cast<std::uint8_t>(address), type};
    for (int slot = 0; slot < kWordsPerTelegram; ++slot) {
        const std::uint16_t word = EncodeTemperatureWord(celsius[static_cast<std::size_t>(slot)]);
        const auto at = static_cast<std::size_t>(TemperatureWordOffset(slot));
        t[at] = static_cast<std::uint8_t>(word & 0xFF);
        t[at + 1] = static_cast<std::uint8_t>(word >> 8);
    }
    SealTelegram(t);
    return t;
}

Telegram StatusTelegram(int address, std::uint8_t status, std::uint8_t range) {
    Telegram t{static_cast<std::uint8_t>(address), kTypeStatus};
    t[kStatusByte] = status;
    t[kRangeByte] = range;
    SealTelegram(t);
    return t;
}
