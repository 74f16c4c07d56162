#include "platform/file_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

QByteArray ToFileText(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString FromFileText(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

bool IsAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QByteArray FileTextToUtf8(QByteArrayView bytes) {
    if (IsAscii(bytes))
        return bytes.toByteArray();
    return FromFileText(bytes.toByteArray()).toUtf8();
}
