#include "link/tidespan_telegram.h"

#include "link/telegram.h"

namespace {

std::uint16_t wordAt(const Telegram& t, int offset) {
    const auto at = static_cast<std::size_t>(offset);
    return static_cast<std::uint16_t>(t[at] + 256 * t[at + 1]);
}

void putWord(std::uint8_t* at, std::uint16_t word) {
    at[0] = static_cast<std::uint8_t>(word & 0xFF);
    at[1] = static_cast<std::uint8_t>(word >> 8);
}

} // namespace

LevelPayload ReadLevelPayload(const Telegram& telegram) {
    LevelPayload payload;
    payload.distance = wordAt(telegram, kDistanceOffset);
    payload.height = wordAt(telegram, kHeightOffset);
    payload.volume = wordAt(telegram, kVolumeOffset);
    payload.percent = telegram[kPercentOffset];
    return payload;
}

void WriteLevelPayload(std::uint8_t* bytes, const LevelPayload& payload) {
    // `bytes` points at offset 2 of the telegram.
    putWord(bytes + kDistanceOffset - 2, payload.distance);
    putWord(bytes + kHeightOffset - 2, payload.height);
    putWord(bytes + kVolumeOffset - 2, payload.volume);
    bytes[kPercentOffset - 2] = payload.percent;
    bytes[kPercentOffset - 1] = 0;
}

Telegram LevelTelegram(int address, const LevelPayload& payload) {
    Telegram t{static_cast<std::uint8_t>(address), kTypeLevel};
    WriteLevelPayload(&t[2], payload);
    SealTelegram(t);
    return t;
}

LegacyFrame LegacyLevelFrame(const LevelPayload& payload, std::uint8_t byte0, std::uint8_t byte1) {
    LegacyFrame frame{byte0, byte1};
    WriteLevelPayload(&frame[2], payload);
    for (int i = 0; i < kLegacyFrameSize - 1; ++i)
        frame[kLegacyFrameSize - 1] ^= frame[static_cast<std::size_t>(i)];
    return frame;
}

bool LegacyFrameOk(const LegacyFrame& frame) {
    std::uint8_t check = 0;
    for (const std::uint8_t byte : frame)
        check ^= byte;
    return check == 0;
}
