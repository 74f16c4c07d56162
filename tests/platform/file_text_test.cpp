#include "platform/file_text.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace {

TEST(FileText, WhatIsReadBackIsWhatWasWritten) {
    const QString texts[] = {QStringLiteral("TEMP 1"), QStringLiteral("Küche"),
                             QString(QChar(0xFEFF)) + QStringLiteral("Keller"),
                             QStringLiteral("a\rb"), QString()};
    for (const QString& text : texts) {
        EXPECT_EQ(FromFileText(ToFileText(text)), text) << text.toStdString();
        EXPECT_EQ(FileTextToUtf8(ToFileText(text)), text.toUtf8()) << text.toStdString();
    }
}

} // namespace

// A field quoted in a message shows whole and readably: control characters (a NUL ends a
// message box's text) written as escapes, text kept as it is, an overlong field cut.
TEST(ReadableField, EscapesControlCharactersAndCapsTheLength) {
    const struct {
        QByteArray field;
        QString shown;
    } cases[] = {
        {"21.5", "21.5"},
        {QByteArray("21\0.5", 5), "21\\0.5"},
        {"a\tb\rc\nd", "a\\tb\\rc\\nd"},
        {"\x01\x1f\x7f", "\\x01\\x1f\\x7f"},
        {ToFileText(QStringLiteral("Küche\\2")), QStringLiteral("Küche\\2")},
        {QByteArray(200, '9'), QString(64, u'9') + QChar(0x2026)},
        {QByteArray(63, '9') + '\0', QString(63, u'9') + "\\0"},
        {QByteArray(63, '9') + QByteArray(2, '\0'), QString(63, u'9') + "\\0" + QChar(0x2026)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadableField(c.field), c.shown) << c.field.toStdString();
}
