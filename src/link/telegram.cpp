#include "link/telegram.h"

#include "link/crc16.h"

namespace {
TelegramDispatcher installedDispatcher;
} // namespace

bool TelegramCrcOk(const Telegram& telegram) {
    const std::uint16_t stored = static_cast<std::uint16_t>(telegram[10] + 256 * telegram[11]);
    return Crc16(telegram.data(), 10, kCrcPolynomial) == stored;
}

void SealTelegram(Telegram& telegram) {
    const std::uint16_t crc = Crc16(telegram.data(), 10, kCrcPolynomial);
    telegram[10] = static_cast<std::uint8_t>(crc & 0xFF);
    telegram[11] = static_cast<std::uint8_t>(crc >> 8);
}

void SetTelegramDispatcher(TelegramDispatcher dispatcher) {
    installedDispatcher = std::move(dispatcher);
}

void HandOverTelegram(const Telegram& telegram) {
    acceptedTelegrams.deliver(telegram);
    if (installedDispatcher)
        installedDispatcher(telegram);
}

bool AcceptTelegram(const Telegram& telegram) {
    if (!TelegramCrcOk(telegram)) {
        CountUp(crcErrorCount);
        return false;
    }
    CountUp(okCount);
    HandOverTelegram(telegram);
    return true;
}

QString StatusLine() {
    return QStringLiteral("OK : %1 / CRC : %2 / TideSpan : %3 / HeatSpan : %4")
        .arg(okCount)
        .arg(crcErrorCount)
        .arg(levelTelegramCount)
        .arg(tempTelegramCount);
}
