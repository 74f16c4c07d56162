#include "paint_counter.h"
#include "widgets/thermometer_gauge.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// A gauge as the temperature window has it: -55 to 125, 70 x 200, at -55.
std::unique_ptr<ThermometerGauge> makeGauge() {
    auto gauge = std::make_unique<ThermometerGauge>();
    gauge->resize(70, 200);
    gauge->setRange(-55.0, 125.0);
    gauge->setPosition(-55.0);
    gauge->setMinMarker(-55.0);
    gauge->setMaxMarker(-55.0);
    return gauge;
}

struct Step {
    double given;
    double position, minMarker, maxMarker;
};

TEST(ThermometerGauge, MarkersFollowTheClampedPosition) {
    auto gauge = makeGauge();
    const Step steps[] = {
        {21.5, 21.5, -55.0, 21.5},    {-3276.8, -55.0, -55.0, 21.5}, {3276.7, 125.0, -55.0, 125.0},
        {200.0, 125.0, -55.0, 125.0}, {0.0, 0.0, -55.0, 125.0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.given);
        gauge->setPosition(s.given);
        EXPECT_EQ(gauge->position(), s.position);
        EXPECT_EQ(gauge->minMarker(), s.minMarker);
        EXPECT_EQ(gauge->maxMarker(), s.maxMarker);
    }
}

TEST(ThermometerGauge, ResetMarkersMoveOnlyWithAChangedPosition) {
    auto gauge = makeGauge();
    gauge->setPosition(20.0);
    gauge->setMaxMarker(-55.0);
    gauge->setMinMarker(125.0);
    gauge->setPosition(20.0);
    EXPECT_EQ(gauge->maxMarker(), -55.0);
    EXPECT_EQ(gauge->minMarker(), 125.0);

    // Clamped to the same end: no change either.
    gauge->setPosition(125.0);
    gauge->setMaxMarker(-55.0);
    gauge->setMinMarker(125.0);
    gauge->setPosition(400.0);
    EXPECT_EQ(gauge->maxMarker(), -55.0);
    gauge->setPosition(124.9);
    EXPECT_EQ(gauge->maxMarker(), 124.9);
    EXPECT_EQ(gauge->minMarker(), 124.9);
}

TEST(ThermometerGauge, RangeChangesClampPositionAndMarkers) {
    auto gauge = makeGauge();
    gauge->setMaximum(1000.0);
    gauge->setPosition(500.0);
    EXPECT_EQ(gauge->maxMarker(), 500.0);
    gauge->setMinMarker(2000.0);
    EXPECT_EQ(gauge->minMarker(), 1000.0);

    QSignalSpy spy(gauge.get(), &ThermometerGauge::positionChanged);
    gauge->setMaximum(125.0);
    EXPECT_EQ(gauge->position(), 125.0);
    EXPECT_EQ(gauge->maxMarker(), 125.0);
    EXPECT_EQ(gauge->minMarker(), 125.0);
    EXPECT_EQ(spy.size(), 1);

    gauge->setRange(10.0, -10.0); // given the wrong way round
    EXPECT_EQ(gauge->minimum(), -10.0);
    EXPECT_EQ(gauge->maximum(), 10.0);
}

TEST(ThermometerGauge, UnchangedSettersNeitherEmitNorRepaint) {
    PaintCounted<ThermometerGauge> gauge;
    gauge.resize(70, 200);
    gauge.setRange(-55.0, 125.0);
    gauge.setPosition(20.0);
    gauge.setBarColor(Qt::yellow);
    gauge.settle();
    QSignalSpy spy(&gauge, &ThermometerGauge::positionChanged);

    gauge.setPosition(20.0);
    gauge.setRange(-55.0, 125.0);
    gauge.setBarColor(Qt::yellow);
    gauge.setMarkerColor(gauge.markerColor());
    gauge.setMinMarker(gauge.minMarker());
    EXPECT_EQ(gauge.paintsAfterEvents(), 0);
    EXPECT_EQ(spy.size(), 0);

    gauge.setPosition(20.1);
    EXPECT_GE(gauge.paintsAfterEvents(), 1);
    EXPECT_EQ(spy.size(), 1);
}

TEST(ThermometerGauge, GeometryMapsTheRangeOntoTheScale) {
    auto gauge = makeGauge();
    EXPECT_DOUBLE_EQ(gauge->positionToY(125.0), gauge->scaleTop());
    EXPECT_DOUBLE_EQ(gauge->positionToY(-55.0), gauge->scaleBottom());
    EXPECT_DOUBLE_EQ(gauge->positionToY(35.0), (gauge->scaleTop() + gauge->scaleBottom()) / 2);
    EXPECT_DOUBLE_EQ(gauge->positionToY(500.0), gauge->scaleTop()); // clamped
    EXPECT_TRUE(gauge->rect().contains(gauge->tubeRect().toRect()));

    const double lowHeight = gauge->barRect().height();
    gauge->setPosition(100.0);
    EXPECT_GT(gauge->barRect().height(), lowHeight);
    EXPECT_DOUBLE_EQ(gauge->barRect().top(), gauge->positionToY(100.0));
    EXPECT_TRUE(gauge->tubeRect().contains(gauge->barRect()));

    // The high range of channels 7 and 8 puts 125 low on the scale.
    gauge->setMaximum(1000.0);
    EXPECT_GT(gauge->positionToY(125.0),
              gauge->scaleBottom() - 0.2 * (gauge->scaleBottom() - gauge->scaleTop()));
}

TEST(ThermometerGauge, ScaleStepsLeaveRoomForTheNumbers) {
    auto gauge = makeGauge();
    // 70 x 200: numbers every 20 in the normal range, every 200 in the high range.
    EXPECT_EQ(gauge->majorStep(), 20.0);
    EXPECT_EQ(gauge->minorStep(), 5.0);
    gauge->setMaximum(1000.0);
    EXPECT_EQ(gauge->majorStep(), 200.0);
    EXPECT_EQ(gauge->minorStep(), 50.0);
    // A taller gauge gets finer steps, never closer than the numbers allow.
    gauge->resize(70, 600);
    const double pixelsPerUnit = (gauge->scaleBottom() - gauge->scaleTop()) / 1055.0;
    EXPECT_LT(gauge->majorStep(), 200.0);
    EXPECT_GE(gauge->majorStep() * pixelsPerUnit, 18.0);
}

TEST(ThermometerGauge, DisabledGaugeStillFollowsItsPosition) {
    auto gauge = makeGauge();
    gauge->setEnabled(false);
    gauge->setPosition(42.0);
    EXPECT_EQ(gauge->position(), 42.0);
    EXPECT_EQ(gauge->maxMarker(), 42.0);
    EXPECT_FALSE(gauge->grab().isNull());
}

} // namespace
