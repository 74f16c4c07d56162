#include "platform/file_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <utility>
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

QString ReadableField(QByteArrayView fileText) {
    // Only what can show is decoded: an overlong field is cut anyway.
    const qsizetype enough = qsizetype(kReadableFieldLength) * 4 + 4;
    return ReadableField(
        FromFileText(fileText.first(std::min(fileText.size(), enough)).toByteArray()));
}

namespace {

// How a control character shows in a message: its C escape.
void appendEscaped(QString& shown, char16_t c) {
    static constexpr std::pair<char16_t, char> kNamed[] = {
        {u'\0', '0'}, {u'\t', 't'}, {u'\r', 'r'}, {u'\n', 'n'}};
    shown += u'\\';
    for (const auto& [control, letter] : kNamed) {
        if (c == control) {
            shown += QLatin1Char(letter);
            return;
        }
    }
    shown += QStringLiteral("x%1").arg(int(c), 2, 16, QLatin1Char('0'));
}

} // namespace

QString ReadableField(QStringView text) {
    QString shown;
    int characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters) {
        if (characters == kReadableFieldLength) {
            shown += QChar(0x2026); // …
            break;
        }
        const QChar c = text[i];
        if (c.category() == QChar::Other_Control) {
            appendEscaped(shown, c.unicode());
            continue;
        }
        shown += c;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            shown += text[++i];
    }
    return shown;
}
