#include "paint_counter.h"
#include "widget_shot.h"
#include "widgets/dot_matrix_display.h"
#include "widgets/dot_matrix_glyphs.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QString kBlankRow(16, QLatin1Char(' '));

// A read-out as the level window has it: 311 x 71, two rows of 16.
std::unique_ptr<DotMatrixDisplay> makeDisplay() {
    auto display = std::make_unique<DotMatrixDisplay>();
    display->resize(311, 71);
    return display;
}

TEST(DotMatrixDisplay, WriteFillsCellsAndDropsWhatDoesNotFit) {
    struct Case {
        int column, row;
        const char* text;
        const char* row0;
        const char* row1;
    };
    const Case cases[] = {
        {0, 0, "DISTANZ:6553.5 cm", "DISTANZ:6553.5 c", nullptr},
        {0, 0, "waiting for data", "waiting for data", nullptr},
        {3, 0, "1230 Liter", "   1230 Liter   ", nullptr},
        {5, 1, "255 %", nullptr, "     255 %      "},
        {15, 1, "xy", nullptr, "               x"},
        {0, 1, "", nullptr, nullptr},
        {16, 0, "x", nullptr, nullptr},
        {-1, 0, "x", nullptr, nullptr},
        {0, 2, "x", nullptr, nullptr},
        {0, -1, "x", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << "," << c.row << " " << c.text);
        auto display = makeDisplay();
        display->write(c.column, c.row, QString::fromUtf8(c.text));
        EXPECT_EQ(display->text(0), c.row0 ? QString::fromUtf8(c.row0) : kBlankRow);
        EXPECT_EQ(display->text(1), c.row1 ? QString::fromUtf8(c.row1) : kBlankRow);
    }
}

TEST(DotMatrixDisplay, WriteOverwritesOnlyItsCellsAndClearBlanksAll) {
    auto display = makeDisplay();
    QSignalSpy spy(display.get(), &DotMatrixDisplay::textChanged);
    display->write(0, 0, QStringLiteral("waiting for data"));
    display->write(6, 1, QStringLiteral("..."));
    display->write(0, 0, QStringLiteral("AB"));
    EXPECT_EQ(display->text(0), QStringLiteral("ABiting for data"));
    EXPECT_EQ(display->text(1), QStringLiteral("      ...       "));
    display->write(0, 0, QStringLiteral("AB")); // same again: no change
    EXPECT_EQ(spy.size(), 3);

    display->clear();
    EXPECT_EQ(display->text(0), kBlankRow);
    EXPECT_EQ(display->text(1), kBlankRow);
    EXPECT_EQ(spy.size(), 5);
    display->clear();
    EXPECT_EQ(spy.size(), 5);
    EXPECT_EQ(display->text(2), QString());
}

TEST(DotMatrixDisplay, LitDotsAreTheGlyphsOfTheContent) {
    auto display = makeDisplay();
    display->write(2, 1, QString::fromUtf8("A\xc3\x9c"));
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            EXPECT_EQ(display->isDotLit(2, 1, x, y), isGlyphDotLit(dotMatrixGlyph(U'A'), x, y));
            EXPECT_EQ(display->isDotLit(3, 1, x, y), isGlyphDotLit(dotMatrixBoxGlyph(), x, y));
            EXPECT_FALSE(display->isDotLit(2, 0, x, y));
        }
    }
    EXPECT_EQ(display->characterAt(3, 1), U'\u00dc');
    EXPECT_FALSE(display->isDotLit(2, 1, 5, 0)); // the space after the glyph
    EXPECT_FALSE(display->isDotLit(16, 1, 0, 0));
}

TEST(DotMatrixDisplay, GridOfSquareDotsIsCentred) {
    auto display = makeDisplay();
    // 16 x 6 - 1 dots wide, 2 x 8 - 1 dots high, 3 pixels each.
    EXPECT_EQ(display->gridSize(), QSize(285, 45));
    EXPECT_EQ(display->gridOrigin(), QPoint(13, 13));
    EXPECT_EQ(display->sizeHint(), QSize(311, 71));
    EXPECT_EQ(display->dotRect(0, 0, 0, 0), QRect(13, 13, 3, 3));
    EXPECT_EQ(display->dotRect(1, 0, 0, 0).topLeft(), QPoint(13 + 18, 13));
    EXPECT_EQ(display->dotRect(0, 1, 0, 0).topLeft(), QPoint(13, 13 + 24));
    EXPECT_EQ(display->cellRect(15, 1), QRect(13 + 15 * 18, 13 + 24, 15, 21));
    EXPECT_EQ(display->cellRect(15, 1).bottomRight(), QPoint(13 + 284, 13 + 44));

    display->setDotSpacing(1);
    EXPECT_EQ(display->gridSize(), QSize(95 * 4 - 1, 15 * 4 - 1));
    EXPECT_EQ(display->dotRect(0, 0, 1, 1).topLeft() - display->gridOrigin(), QPoint(4, 4));
    display->setDotSpacing(0);
    display->resize(400, 100);
    EXPECT_EQ(display->gridOrigin(), QPoint((400 - 285) / 2, (100 - 45) / 2));
}

TEST(DotMatrixDisplay, ResizingTheTextAreaKeepsWhatFits) {
    auto display = makeDisplay();
    display->write(0, 0, QStringLiteral("waiting for data"));
    display->write(0, 1, QStringLiteral("..."));
    QSignalSpy spy(display.get(), &DotMatrixDisplay::layoutChanged);
    display->setColumns(8);
    display->setRows(1);
    EXPECT_EQ(display->text(0), QStringLiteral("waiting "));
    display->setColumns(10);
    display->setRows(2);
    EXPECT_EQ(display->text(0), QStringLiteral("waiting   "));
    EXPECT_EQ(display->text(1), QString(10, QLatin1Char(' ')));
    EXPECT_EQ(spy.size(), 4);
}

TEST(DotMatrixDisplay, UnchangedContentOrSettingsDoNotRepaint) {
    PaintCounted<DotMatrixDisplay> display;
    display.resize(311, 71);
    display.write(0, 0, QStringLiteral("PEGEL  :106.6 cm"));
    display.settle();

    display.write(0, 0, QStringLiteral("PEGEL  :106.6 cm"));
    display.write(0, 5, QStringLiteral("x"));
    display.setDotSize(3);
    display.setRows(2);
    display.setBackgroundColor(QColor(128, 128, 0));
    display.setDotColor(Qt::black);
    EXPECT_EQ(display.paintsAfterEvents(), 0);

    display.write(8, 0, QStringLiteral("107"));
    EXPECT_GE(display.paintsAfterEvents(), 1);
}

TEST(DotMatrixDisplay, DrawsLitDotsBlackOnOlive) {
    auto liter = makeDisplay();
    liter->write(3, 0, QStringLiteral("1230 Liter"));
    liter->write(5, 1, QStringLiteral("57 %"));
    const QImage image = widgetShot(*liter, QStringLiteral("lcd_liter"));
    const QColor olive(128, 128, 0);
    for (int column = 0; column < 16; ++column) {
        for (int row = 0; row < 2; ++row) {
            for (int y = 0; y < kGlyphHeight; ++y) {
                for (int x = 0; x < kGlyphWidth; ++x) {
                    const QRect dot = liter->dotRect(column, row, x, y);
                    const QColor want = liter->isDotLit(column, row, x, y) ? Qt::black : olive;
                    ASSERT_EQ(QColor(image.pixel(dot.center())), want)
                        << column << "," << row << " dot " << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(QColor(image.pixel(5, 35)), olive); // the margin

    auto height = makeDisplay();
    height->write(0, 0, QStringLiteral("DISTANZ:123.4 cm"));
    height->write(0, 1, QStringLiteral("PEGEL  :106.6 cm"));
    widgetShot(*height, QStringLiteral("lcd_hoehe"));

    auto waiting = makeDisplay(); // lower case with descenders, for a look
    waiting->write(0, 0, QStringLiteral("waiting for data"));
    waiting->write(0, 1, QStringLiteral("jog gypsy 9 quip"));
    widgetShot(*waiting, QStringLiteral("lcd_waiting"));
}

} // namespace
