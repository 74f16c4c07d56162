#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string>

// Log and chart files hold text in the system's 8-bit encoding (the ANSI code page on
// Windows, UTF-8 elsewhere), lines ended by CR LF.
QByteArray ToFileText(const QString& text);
QString FromFileText(const QByteArray& bytes);

// The settings keep their texts (names, paths) as such 8-bit strings too.
QString FromStoredText(const std::string& text);
std::string ToStoredText(const QString& text);

// True when every byte is 7-bit ASCII (then file text, Latin-1 and UTF-8 agree).
bool IsAscii(QByteArrayView bytes);
// File text converted to UTF-8; ASCII passes through without decoding.
QByteArray FileTextToUtf8(QByteArrayView bytes);

// A field of file text as a message quotes it: decoded, control characters written as
// escapes ("\0", "\t", "\r", "\n", "\x01") so that the whole field shows (a NUL would end
// the message box's text), at most kReadableFieldLength characters followed by "…".
// Other text, backslashes too, shows as it is.
inline constexpr int kReadableFieldLength = 64;
QString ReadableField(QByteArrayView fileText);
QString ReadableField(QStringView text);
