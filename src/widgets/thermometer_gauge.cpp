#include "widgets/thermometer_gauge.h"

#include "widgets/gauge_range.h"

#include <QEvent>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMargin = 6.0;     // free space above the scale and below the bulb
constexpr double kTubeWidth = 10.0; // inner width of the tube
constexpr double kBulbSize = 18.0;  // diameter of the bulb
constexpr double kMarkerSize = 5.0; // half height of a marker triangle
} // namespace

ThermometerGauge::ThermometerGauge(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

double ThermometerGauge::clamp(double v) const {
    return std::clamp(v, minimum_, maximum_);
}

void ThermometerGauge::setPosition(double value) {
    const double clamped = clamp(value);
    if (clamped == position_)
        return;
    position_ = clamped;
    minMarker_ = std::min(minMarker_, position_);
    maxMarker_ = std::max(maxMarker_, position_);
    update();
    Q_EMIT positionChanged(position_);
}

void ThermometerGauge::setMinimum(double minimum) {
    setRange(minimum, maximum_);
}
void ThermometerGauge::setMaximum(double maximum) {
    setRange(minimum_, maximum);
}

void ThermometerGauge::setRange(double minimum, double maximum) {
    if (!TakeGaugeRange(minimum_, maximum_, minimum, maximum))
        return;
    clampIntoRange();
    invalidateBackground();
}

void ThermometerGauge::clampIntoRange() {
    const double before = position_;
    position_ = clamp(position_);
    minMarker_ = clamp(minMarker_);
    maxMarker_ = clamp(maxMarker_);
    if (position_ != before)
        Q_EMIT positionChanged(position_);
}

void ThermometerGauge::setMinMarker(double value) {
    value = clamp(value);
    if (value == minMarker_)
        return;
    minMarker_ = value;
    update();
}

void ThermometerGauge::setMaxMarker(double value) {
    value = clamp(value);
    if (value == maxMarker_)
        return;
    maxMarker_ = value;
    update();
}

void ThermometerGauge::setMarkersVisible(bool visible) {
    if (visible == markersVisible_)
        return;
    markersVisible_ = visible;
    update();
}

void ThermometerGauge::setBarColor(const QColor& color) {
    if (color == barColor_)
        return;
    barColor_ = color;
    invalidateBackground(); // the bulb carries the bar colour
}

void ThermometerGauge::setMarkerColor(const QColor& color) {
    if (color == markerColor_)
        return;
    markerColor_ = color;
    update();
}

double ThermometerGauge::scaleTop() const {
    return kMargin + 4.0;
}

double ThermometerGauge::scaleBottom() const {
    return std::max(scaleTop() + 1.0, height() - kMargin - kBulbSize);
}

QRectF ThermometerGauge::tubeRect() const {
    const double x = kMargin + kMarkerSize + 3.0;
    const double top = scaleTop() - 4.0;
    return {x, top, kTubeWidth, scaleBottom() + kBulbSize / 2.0 - top};
}

double ThermometerGauge::positionToY(double v) const {
    const double span = maximum_ - minimum_;
    const double fraction = span > 0 ? (clamp(v) - minimum_) / span : 0.0;
    return scaleBottom() - fraction * (scaleBottom() - scaleTop());
}

QRectF ThermometerGauge::barRect() const {
    const QRectF tube = tubeRect();
    const double top = positionToY(position_);
    return {tube.left() + 2.0, top, tube.width() - 4.0, tube.bottom() - top};
}

double ThermometerGauge::majorStep() const {
    // The smallest 1-2-5 step that keeps the numbers about 18 pixels apart.
    const double span = maximum_ - minimum_;
    const double pixels = scaleBottom() - scaleTop();
    if (span <= 0 || pixels <= 0)
        return 1.0;
    const double wanted = span * 18.0 / pixels;
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * decade >= wanted)
            return factor * decade;
    return 10.0 * decade;
}

double ThermometerGauge::minorStep() const {
    // Quarters of a 2-step (20: every 5), fifths of a 1- or 5-step (50: every 10).
    const double major = majorStep();
    const double leading = major / std::pow(10.0, std::floor(std::log10(major)));
    return major / (std::abs(leading - 2.0) < 1e-9 ? 4.0 : 5.0);
}

QColor ThermometerGauge::shownBarColor() const {
    if (isEnabled())
        return barColor_;
    // Disabled: the bar colour washed halfway into the background.
    const QColor back = palette().color(QPalette::Window);
    return QColor((barColor_.red() + back.red()) / 2, (barColor_.green() + back.green()) / 2,
                  (barColor_.blue() + back.blue()) / 2);
}

void ThermometerGauge::invalidateBackground() {
    background_.invalidate();
    update();
}

void ThermometerGauge::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (StaticLayer::staleAfter(event))
        invalidateBackground();
}

void ThermometerGauge::drawBackground(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tube = tubeRect();
    const QRectF bulb(tube.center().x() - kBulbSize / 2.0, scaleBottom(), kBulbSize, kBulbSize);

    // Glass: tube and bulb as one outline, empty inside.
    QPainterPath glass;
    glass.addRoundedRect(tube, kTubeWidth / 2.0, kTubeWidth / 2.0);
    glass.addEllipse(bulb);
    glass = glass.simplified();
    painter.setPen(QPen(palette().color(QPalette::Dark), 1.0));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawPath(glass);

    // The bulb is always full.
    QRadialGradient shine(bulb.center() - QPointF(3, 3), kBulbSize / 1.5);
    shine.setColorAt(0.0, shownBarColor().lighter(150));
    shine.setColorAt(1.0, shownBarColor());
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawEllipse(bulb.adjusted(2, 2, -2, -2));

    drawScale(painter);
}

void ThermometerGauge::drawScale(QPainter& painter) const {
    const QColor ink =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    painter.setPen(QPen(ink, 1.0));
    QFont small = font();
    small.setPointSizeF(std::max(5.0, font().pointSizeF() - 1.0));
    painter.setFont(small);

    const double tickX = tubeRect().right() + kMarkerSize + 4.0;
    const double major = majorStep();
    const double minor = minorStep();
    const QLocale c = QLocale::c();
    for (double v = std::ceil(minimum_ / minor) * minor; v <= maximum_ + minor * 1e-6; v += minor) {
        const double y = std::round(positionToY(v)) + 0.5;
        const double ratio = v / major;
        const bool numbered = std::abs(ratio - std::round(ratio)) < 1e-6;
        painter.drawLine(QPointF(tickX, y), QPointF(tickX + (numbered ? 7.0 : 4.0), y));
        if (!numbered)
            continue;
        const QRectF box(tickX + 8.0, y - 8.0, width() - tickX - 8.0, 16.0);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                         c.toString(std::round(v * 100.0) / 100.0, 'g', 6));
    }
    painter.drawLine(QPointF(tickX, positionToY(maximum_)), QPointF(tickX, positionToY(minimum_)));
}

void ThermometerGauge::drawMarkers(QPainter& painter) const {
    painter.setPen(QPen(markerColor_.darker(130), 1.0));
    painter.setBrush(markerColor_);
    const QRectF tube = tubeRect();
    // Maximum on the left of the tube pointing right, minimum on the right pointing left.
    const double maxY = markerY(maxMarker_);
    const QPointF maxTip(tube.left() - 1.0, maxY);
    painter.drawPolygon(QPolygonF({maxTip, maxTip + QPointF(-kMarkerSize * 1.4, -kMarkerSize),
                                   maxTip + QPointF(-kMarkerSize * 1.4, kMarkerSize)}));
    const double minY = markerY(minMarker_);
    const QPointF minTip(tube.right() + 1.0, minY);
    painter.drawPolygon(QPolygonF({minTip, minTip + QPointF(kMarkerSize * 1.4, -kMarkerSize),
                                   minTip + QPointF(kMarkerSize * 1.4, kMarkerSize)}));
}

void ThermometerGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    background_.paint(painter, *this, palette().color(QPalette::Window),
                      [this](QPainter& layer) { drawBackground(layer); });
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient fill(barRect().topLeft(), barRect().topRight());
    fill.setColorAt(0.0, shownBarColor().darker(115));
    fill.setColorAt(0.4, shownBarColor().lighter(135));
    fill.setColorAt(1.0, shownBarColor().darker(115));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(barRect(), 2.0, 2.0);

    if (markersVisible_)
        drawMarkers(painter);
}
