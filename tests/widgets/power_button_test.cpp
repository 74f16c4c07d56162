#include "paint_counter.h"
#include "widget_shot.h"
#include "widgets/power_button.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QColor kMaroon(128, 0, 0);

// Pixels of the picture that show the given colour (the symbol's solid stroke).
int pixelsOf(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += QColor(image.pixel(x, y)) == color ? 1 : 0;
    return count;
}

TEST(PowerButton, ClickTogglesAndTheSymbolColourFollows) {
    PowerButton button(QStringLiteral("AUFNAHME"));
    button.resize(98, 89);
    QSignalSpy spy(&button, &QAbstractButton::toggled);
    EXPECT_FALSE(button.isChecked());
    EXPECT_EQ(button.symbolColor(), kMaroon);

    button.click();
    EXPECT_TRUE(button.isChecked());
    EXPECT_EQ(button.symbolColor(), QColor(Qt::red));
    const QImage on = widgetShot(button, QStringLiteral("power_on"));
    QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_FALSE(button.isChecked());
    const QImage off = widgetShot(button, QStringLiteral("power_off"));

    ASSERT_EQ(spy.size(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
    EXPECT_GT(pixelsOf(on, Qt::red), 30);
    EXPECT_EQ(pixelsOf(on, kMaroon), 0);
    EXPECT_GT(pixelsOf(off, kMaroon), 30);
    EXPECT_EQ(pixelsOf(off, Qt::red), 0);
}

TEST(PowerButton, UnchangedStateOrHiddenColourDoesNotRepaint) {
    PaintCounted<PowerButton> button(QStringLiteral("AUFNAHME"));
    button.resize(98, 89);
    button.settle();

    button.setChecked(false);
    button.setOffColor(kMaroon);
    button.setOnColor(Qt::yellow); // the lit colour while off: nothing to redraw
    button.setSymbolSize(button.symbolSize());
    EXPECT_EQ(button.paintsAfterEvents(), 0);

    button.setChecked(true);
    EXPECT_GE(button.paintsAfterEvents(), 1);
    EXPECT_EQ(button.symbolColor(), QColor(Qt::yellow));
    EXPECT_TRUE(button.setProperty("onColor", QColor(Qt::red)));
    EXPECT_EQ(button.symbolColor(), QColor(Qt::red));
}

TEST(PowerButton, SymbolStandsCentredAboveTheCaption) {
    PowerButton button(QStringLiteral("AUFNAHME"));
    button.resize(98, 89);
    const QRect symbol = button.symbolRect();
    const QRect caption = button.textRect();
    EXPECT_TRUE(button.rect().contains(symbol));
    EXPECT_TRUE(button.rect().contains(caption));
    EXPECT_LT(symbol.bottom(), caption.top());
    EXPECT_LE(std::abs(symbol.center().x() - button.width() / 2), 1);
    EXPECT_GE(caption.width(), button.fontMetrics().horizontalAdvance(button.text()));
    EXPECT_GE(button.sizeHint().width(), button.fontMetrics().horizontalAdvance(button.text()));
}

} // namespace
