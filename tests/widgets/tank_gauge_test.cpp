#include "paint_counter.h"
#include "widget_shot.h"
#include "widgets/tank_gauge.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A gauge as the level window has it: 137 x 415, range 0 to 100.
std::unique_ptr<TankGauge> makeTank() {
    auto tank = std::make_unique<TankGauge>();
    tank->resize(137, 415);
    return tank;
}

bool isBlue(QRgb pixel) {
    return qBlue(pixel) > 150 && qBlue(pixel) > 2 * std::max(qRed(pixel), qGreen(pixel));
}

TEST(TankGauge, FillIsClampedForDrawingOnly) {
    struct Case {
        double given, fraction;
    };
    const Case cases[] = {{0.0, 0.0},   {50.0, 0.5},  {100.0, 1.0}, {150.0, 1.0},
                          {255.0, 1.0}, {-20.0, 0.0}, {57.0, 0.57}};
    auto tank = makeTank();
    const QRectF content = tank->contentRect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        tank->setPosition(c.given);
        EXPECT_EQ(tank->position(), c.given);
        EXPECT_NEAR(tank->fillFraction(), c.fraction, 1e-12);
        const QRectF fill = tank->fillRect();
        EXPECT_NEAR(fill.height(), c.fraction * content.height(), 1e-9);
        EXPECT_DOUBLE_EQ(fill.bottom(), content.bottom());
        EXPECT_EQ(fill.left(), content.left());
        EXPECT_EQ(fill.width(), content.width());
    }
    tank->setPosition(std::nan(""));
    EXPECT_EQ(tank->position(), 57.0);
}

TEST(TankGauge, LevelMapsTheRangeOntoTheWindow) {
    auto tank = makeTank();
    const QRectF content = tank->contentRect();
    EXPECT_DOUBLE_EQ(tank->levelY(0.0), content.bottom());
    EXPECT_DOUBLE_EQ(tank->levelY(100.0), content.top());
    EXPECT_DOUBLE_EQ(tank->levelY(125.0), content.top());
    EXPECT_DOUBLE_EQ(tank->levelY(-1.0), content.bottom());

    QSignalSpy spy(tank.get(), &TankGauge::rangeChanged);
    tank->setRange(200.0, 0.0); // given the wrong way round
    EXPECT_EQ(tank->minimum(), 0.0);
    EXPECT_EQ(tank->maximum(), 200.0);
    EXPECT_DOUBLE_EQ(tank->levelY(100.0), content.center().y());
    EXPECT_EQ(spy.size(), 1);
}

TEST(TankGauge, PartsNestInsideEachOther) {
    auto tank = makeTank();
    const QRectF widget(tank->rect());
    const QRectF body = tank->tankRect();
    EXPECT_TRUE(widget.contains(body));
    EXPECT_TRUE(widget.contains(tank->shadowRect()));
    EXPECT_GT(tank->shadowRect().left(), body.left()); // falls to the lower right
    EXPECT_GT(tank->shadowRect().top(), body.top());
    EXPECT_TRUE(body.contains(tank->windowRect()));
    EXPECT_TRUE(tank->windowRect().contains(tank->contentRect()));
    // The window sits on the straight part, clear of the domed top and bottom.
    EXPECT_GT(tank->windowRect().top(), body.top() + tank->capHeight());
    EXPECT_LT(tank->windowRect().bottom(), body.bottom() - tank->capHeight() / 2);
    EXPECT_NEAR(tank->windowRect().center().x(), body.center().x(), 0.5);
    EXPECT_EQ(tank->sizeHint(), QSize(137, 415));
}

TEST(TankGauge, UnchangedOrInvisibleChangesDoNotRepaint) {
    PaintCounted<TankGauge> tank;
    tank.resize(137, 415);
    tank.setPosition(150.0);
    tank.settle();
    QSignalSpy spy(&tank, &TankGauge::positionChanged);

    tank.setPosition(150.0);
    tank.setRange(0.0, 100.0);
    tank.setTankColor(QColor(192, 192, 192));
    tank.setFillColor(Qt::blue);
    tank.setShadowColor(tank.shadowColor());
    EXPECT_EQ(tank.paintsAfterEvents(), 0);
    EXPECT_EQ(spy.size(), 0);

    // Still a full tank: reported, but nothing to redraw.
    tank.setPosition(160.0);
    EXPECT_EQ(tank.paintsAfterEvents(), 0);
    EXPECT_EQ(spy.size(), 1);

    tank.setPosition(57.0);
    EXPECT_GE(tank.paintsAfterEvents(), 1);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(1).at(0).toDouble(), 57.0);
}

TEST(TankGauge, DefaultColoursAreProperties) {
    TankGauge tank;
    EXPECT_EQ(tank.property("tankColor").value<QColor>(), QColor(192, 192, 192));
    EXPECT_EQ(tank.property("fillColor").value<QColor>(), QColor(Qt::blue));
    const QColor shadow = tank.shadowColor();
    EXPECT_TRUE(shadow.red() == shadow.green() && shadow.green() == shadow.blue());
    EXPECT_TRUE(tank.setProperty("position", 42.0));
    EXPECT_EQ(tank.position(), 42.0);
}

TEST(TankGauge, DrawsBlueUpToTheLevelOnly) {
    auto tank = makeTank();
    const QRectF content = tank->contentRect();
    const int x = static_cast<int>(content.center().x());
    struct Shot {
        double position;
        const char* name;
    };
    for (const Shot& shot : {Shot{57.0, "tank_57"}, Shot{150.0, "tank_150"}, Shot{0.0, "tank_0"}}) {
        SCOPED_TRACE(shot.position);
        tank->setPosition(shot.position);
        const QImage image = widgetShot(*tank, shot.name);
        const double level = tank->levelY(shot.position);
        for (int y = static_cast<int>(content.top()) + 1; y < content.bottom() - 1; y += 4) {
            if (std::abs(y - level) < 4)
                continue;
            EXPECT_EQ(isBlue(image.pixel(x, y)), y > level) << "y " << y;
        }
    }
    // The shadow shows below the tank's right end.
    const QImage image = tank->grab().toImage();
    const QRgb shadow = image.pixel(static_cast<int>(tank->tankRect().right()) + 3,
                                    static_cast<int>(tank->tankRect().center().y()));
    EXPECT_EQ(QColor(shadow), tank->shadowColor());
}

} // namespace
