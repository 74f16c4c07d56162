#include "platform/file_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <vector>

QByteArray ToFileText(const QString& text) {
    // Encoded into a reused scratch buffer, then copied at its exact size: the record store
    // keeps lines by the hundred thousand, and an encoder's worst-case buffer (three bytes a
    // character), even squeezed, leaves the heap full of holes.
    static thread_local std::vector<char> scratch;
    QStringEncoder encoder(QStringConverter::System);
    scratch.resize(static_cast<std::size_t>(encoder.requiredSpace(text.size())));
    char* const end = encoder.appendToBuffer(scratch.data(), text);
    return QByteArray(scratch.data(), end - scratch.data());
}

QString FromFileText(const QByteArray& bytes) {
    // A leading U+FEFF is text like any other (a channel name may begin with one), not a
    // byte order mark to drop: what is read back is what was written.
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString FromStoredText(const std::string& text) {
    return FromFileText(QByteArray::fromStdString(text));
}

std::string ToStoredText(const QString& text) {
    return ToFileText(text).toStdString();
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
