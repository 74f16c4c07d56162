#include "platform/file_text.h"

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
