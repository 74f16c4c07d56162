#include "paint_counter.h"
#include "widgets/led.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(Led, ToggleInvertsAndEmitsEachTime) {
    Led led;
    QSignalSpy spy(&led, &Led::activeChanged);
    led.toggle();
    EXPECT_TRUE(led.isActive());
    led.toggle();
    EXPECT_FALSE(led.isActive());
    ASSERT_EQ(spy.size(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST(Led, UnchangedStateNeitherEmitsNorRepaints) {
    PaintCounted<Led> led;
    led.setColors(Qt::red, QColor(128, 0, 0));
    led.settle();
    QSignalSpy spy(&led, &Led::activeChanged);

    led.setActive(false);
    led.setInactiveColor(QColor(128, 0, 0));
    led.setActiveColor(Qt::yellow); // the lit colour while dark: nothing to redraw
    EXPECT_EQ(led.paintsAfterEvents(), 0);
    EXPECT_EQ(spy.size(), 0);

    led.setActive(true);
    EXPECT_GE(led.paintsAfterEvents(), 1);
    EXPECT_EQ(spy.size(), 1);
    EXPECT_EQ(led.currentColor(), QColor(Qt::yellow));
}

TEST(Led, ColoursAreProperties) {
    Led led;
    EXPECT_TRUE(led.setProperty("activeColor", QColor(Qt::yellow)));
    EXPECT_TRUE(led.setProperty("active", true));
    EXPECT_EQ(led.currentColor(), QColor(Qt::yellow));
}

} // namespace
