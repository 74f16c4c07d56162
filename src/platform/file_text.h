#pragma once

#include <QByteArray>
#include <QString>

// Log and chart files hold text in the system's 8-bit encoding (the ANSI code page on
// Windows, UTF-8 elsewhere), lines ended by CR LF.
QByteArray ToFileText(const QString& text);
QString FromFileText(const QByteArray& bytes);
