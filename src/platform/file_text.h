#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Log and chart files hold text in the system's 8-bit encoding (the ANSI code page on
// Windows, UTF-8 elsewhere), lines ended by CR LF.
QByteArray ToFileText(const QString& text);
QString FromFileText(const QByteArray& bytes);

// True when every byte is 7-bit ASCII (then file text, Latin-1 and UTF-8 agree).
bool IsAscii(QByteArrayView bytes);
// File text converted to UTF-8; ASCII passes through without decoding.
QByteArray FileTextToUtf8(QByteArrayView bytes);
