#pragma once

#include "link/telegram.h"

#include <QByteArray>

#include <initializer_list>

// A sealed receiver telegram as bytes on the line.
inline QByteArray SealedBytes(std::uint8_t address, std::uint8_t type,
                              std::initializer_list<std::uint8_t> data = {}) {
    Telegram t{address, type};
    std::size_t i = 2;
    for (const std::uint8_t byte : data)
        t[i++] = byte;
    SealTelegram(t);
    return QByteArray(reinterpret_cast<const char*>(t.data()), kTelegramSize);
}

// The same telegram with its check broken.
inline QByteArray BrokenBytes(std::uint8_t address, std::uint8_t type) {
    QByteArray bytes = SealedBytes(address, type);
    bytes[10] = static_cast<char>(bytes[10] ^ 0x5A);
    return bytes;
}
