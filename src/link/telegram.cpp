#include "link/telegram.h"

#include "level/level_decode.h"
#include "link/crc16.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"

Telegram rxTelegram{};
std::int32_t okCount = 0;
std::int32_t crcErrorCount = 0;
std::int32_t tempTelegramCount = 0;
std::int32_t levelTelegramCount = 0;

bool TelegramCrcOk(const Telegram& telegram) {
    const std::uint16_t stored = static_cast<std::uint16_t>(telegram[10] + 256 * telegram[11]);
    return Crc16(telegram.data(), 10, kCrcPolynomial) == stored;
}

void SealTelegram(Telegram& telegram) {
    const std::uint16_t crc = Crc16(telegram.data(), 10, kCrcPolynomial);
    telegram[10] = static_cast<std::uint8_t>(crc & 0xFF);
    telegram[11] = static_cast<std::uint8_t>(crc >> 8);
}

void DispatchTelegram() {
    // The address byte is compared with the whole 32-bit setting, so a setting outside
    // 0..255 matches nothing. The four tests are independent and run in this order.
    const std::int32_t address = rxTelegram[0];
    const std::uint8_t type = rxTelegram[1];
    if (address == settings.TERM_ADR && type == kTypeTemperature0)
        DecodeTemperatureTelegram0();
    if (address == settings.TERM_ADR && type == kTypeTemperature1)
        DecodeTemperatureTelegram1();
    if (address == settings.TERM_ADR && type == kTypeStatus)
        DecodeStatusTelegram();
    if (address == settings.LEV_ADR && type == kTypeLevel)
        DecodeLevelTelegram();
}

bool AcceptTelegram() {
    if (!TelegramCrcOk(rxTelegram)) {
        CountUp(crcErrorCount);
        return false;
    }
    CountUp(okCount);
    DispatchTelegram();
    return true;
}

void ResetTelegramState() {
    rxTelegram.fill(0);
    okCount = crcErrorCount = tempTelegramCount = levelTelegramCount = 0;
}

QString StatusLine() {
    return QStringLiteral("OK : %1 / CRC : %2 / TideSpan : %3 / HeatSpan : %4")
        .arg(okCount)
        .arg(crcErrorCount)
        .arg(levelTelegramCount)
        .arg(tempTelegramCount);
}
