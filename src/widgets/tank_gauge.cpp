#include "widgets/tank_gauge.h"

#include "widgets/gauge_range.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMargin = 2.0;       // free space around tank and shadow
constexpr double kShadowOffset = 6.0; // the shadow falls this far right and down
constexpr double kWindowInset = 0.27; // share of the tank's width left of the window
constexpr double kRim = 3.0;          // width of the window's rim
constexpr int kTickSteps = 10;        // scale ticks: every tenth of the range

// The outline of a standing cylinder that fills box, domed top and bottom of height cap.
QPainterPath cylinder(const QRectF& box, double cap) {
    QPainterPath path;
    path.moveTo(box.left(), box.top() + cap / 2.0);
    path.arcTo(QRectF(box.left(), box.top(), box.width(), cap), 180.0, -180.0);
    path.lineTo(box.right(), box.bottom() - cap / 2.0);
    path.arcTo(QRectF(box.left(), box.bottom() - cap, box.width(), cap), 0.0, -180.0);
    path.closeSubpath();
    return path;
}

// A horizontal gradient that makes a flat colour look like a lit round surface.
QLinearGradient roundShading(const QRectF& box, const QColor& color) {
    QLinearGradient gradient(box.topLeft(), box.topRight());
    gradient.setColorAt(0.0, color.darker(165));
    gradient.setColorAt(0.3, color.lighter(128));
    gradient.setColorAt(0.45, color.lighter(112));
    gradient.setColorAt(0.8, color.darker(125));
    gradient.setColorAt(1.0, color.darker(180));
    return gradient;
}
} // namespace

TankGauge::TankGauge(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double TankGauge::clamp(double v) const {
    return std::clamp(v, minimum_, maximum_);
}

double TankGauge::shownPosition() const {
    return clamp(position_);
}

double TankGauge::fillFraction() const {
    const double span = maximum_ - minimum_;
    return span > 0 ? (shownPosition() - minimum_) / span : 0.0;
}

void TankGauge::setPosition(double value) {
    if (std::isnan(value) || value == position_)
        return;
    const double shownBefore = shownPosition();
    position_ = value;
    if (shownPosition() != shownBefore)
        update(windowRect().toAlignedRect());
    Q_EMIT positionChanged(position_);
}

void TankGauge::setMinimum(double minimum) {
    setRange(minimum, maximum_);
}
void TankGauge::setMaximum(double maximum) {
    setRange(minimum_, maximum);
}

void TankGauge::setRange(double minimum, double maximum) {
    if (!TakeGaugeRange(minimum_, maximum_, minimum, maximum))
        return;
    update();
    Q_EMIT rangeChanged(minimum_, maximum_);
}

void TankGauge::setTankColor(const QColor& color) {
    if (color == tankColor_)
        return;
    tankColor_ = color;
    invalidateBackground();
}

void TankGauge::setShadowColor(const QColor& color) {
    if (color == shadowColor_)
        return;
    shadowColor_ = color;
    invalidateBackground();
}

void TankGauge::setFillColor(const QColor& color) {
    if (color == fillColor_)
        return;
    fillColor_ = color;
    update(windowRect().toAlignedRect());
}

QRectF TankGauge::tankRect() const {
    const double w = std::max(0.0, width() - 2.0 * kMargin - kShadowOffset);
    const double h = std::max(0.0, height() - 2.0 * kMargin - kShadowOffset);
    return {kMargin, kMargin, w, h};
}

QRectF TankGauge::shadowRect() const {
    return tankRect().translated(kShadowOffset, kShadowOffset);
}

double TankGauge::capHeight() const {
    const QRectF tank = tankRect();
    return std::min(tank.width() * 0.22, tank.height() / 4.0);
}

QRectF TankGauge::windowRect() const {
    const QRectF tank = tankRect();
    const double cap = capHeight();
    const double top = tank.top() + 1.6 * cap;
    const double bottom = std::max(top, tank.bottom() - 1.1 * cap);
    const double inset = tank.width() * kWindowInset;
    return {tank.left() + inset, top, tank.width() - 2.0 * inset, bottom - top};
}

QRectF TankGauge::contentRect() const {
    const QRectF window = windowRect();
    const double rim = std::min({kRim, window.width() / 2.0, window.height() / 2.0});
    return window.adjusted(rim, rim, -rim, -rim);
}

double TankGauge::levelY(double value) const {
    const double span = maximum_ - minimum_;
    const double fraction = span > 0 ? (clamp(value) - minimum_) / span : 0.0;
    const QRectF content = contentRect();
    return content.bottom() - fraction * content.height();
}

QRectF TankGauge::fillRect() const {
    const QRectF content = contentRect();
    const double top = levelY(position_);
    return {content.left(), top, content.width(), content.bottom() - top};
}

void TankGauge::invalidateBackground() {
    background_.invalidate();
    update();
}

void TankGauge::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (StaticLayer::staleAfter(event))
        invalidateBackground();
}

void TankGauge::drawBackground(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shadowColor_);
    painter.drawPath(cylinder(shadowRect(), capHeight()));
    drawTank(painter);
    drawWindow(painter);
    drawScale(painter);
}

void TankGauge::drawTank(QPainter& painter) const {
    const QRectF tank = tankRect();
    const double cap = capHeight();
    const QColor outline = tankColor_.darker(220);

    painter.setPen(QPen(outline, 1.0));
    painter.setBrush(roundShading(tank, tankColor_));
    painter.drawPath(cylinder(tank, cap));

    // The lid, lit from the upper left.
    const QRectF lid(tank.left(), tank.top(), tank.width(), cap);
    QLinearGradient lidShading(lid.topLeft(), lid.bottomRight());
    lidShading.setColorAt(0.0, tankColor_.lighter(135));
    lidShading.setColorAt(1.0, tankColor_.darker(115));
    painter.setBrush(lidShading);
    painter.drawEllipse(lid);

    // Seams where lid and bottom are welded on: a dark groove with a light edge below.
    painter.setBrush(Qt::NoBrush);
    for (double y : {tank.top() + 0.35 * cap, tank.bottom() - 1.35 * cap}) {
        const QRectF seam(tank.left(), y, tank.width(), cap);
        painter.setPen(QPen(tankColor_.darker(160), 1.0));
        painter.drawArc(seam, 180 * 16, 180 * 16);
        painter.setPen(QPen(tankColor_.lighter(130), 1.0));
        painter.drawArc(seam.translated(0, 1.2), 180 * 16, 180 * 16);
    }
}

void TankGauge::drawWindow(QPainter& painter) const {
    const QRectF window = windowRect();
    const double radius = std::min(6.0, window.width() / 2.0);

    // The empty inside, in the shade of the walls.
    QLinearGradient inside(window.topLeft(), window.topRight());
    inside.setColorAt(0.0, QColor(150, 156, 162));
    inside.setColorAt(0.35, QColor(226, 230, 234));
    inside.setColorAt(1.0, QColor(132, 138, 144));
    painter.setPen(Qt::NoPen);
    painter.setBrush(inside);
    painter.drawRoundedRect(window, radius, radius);

    // The rim, cut into the wall: shaded on the upper left, lit on the lower right.
    QLinearGradient rim(window.topLeft(), window.bottomRight());
    rim.setColorAt(0.0, tankColor_.darker(200));
    rim.setColorAt(1.0, tankColor_.lighter(150));
    painter.setPen(QPen(QBrush(rim), kRim));
    painter.setBrush(Qt::NoBrush);
    const double half = kRim / 2.0;
    painter.drawRoundedRect(window.adjusted(half, half, -half, -half), radius, radius);
}

void TankGauge::drawScale(QPainter& painter) const {
    // Engraved ticks left of the window, longer at the ends and the middle.
    const QRectF window = windowRect();
    const double right = window.left() - 3.0;
    const double longTick = std::min(10.0, right - tankRect().left() - 6.0);
    if (longTick < 3.0)
        return;
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int step = 0; step <= kTickSteps; ++step) {
        const double value = minimum_ + (maximum_ - minimum_) * step / kTickSteps;
        const double y = std::round(levelY(value));
        const double length = step % (kTickSteps / 2) == 0 ? longTick : longTick * 0.6;
        painter.setPen(QPen(tankColor_.darker(250), 1.0));
        painter.drawLine(QPointF(right - length, y), QPointF(right, y));
        painter.setPen(QPen(tankColor_.lighter(150), 1.0));
        painter.drawLine(QPointF(right - length, y + 1.0), QPointF(right, y + 1.0));
    }
    painter.setRenderHint(QPainter::Antialiasing);
}

void TankGauge::drawFill(QPainter& painter) const {
    const QRectF content = contentRect();
    const double radius = std::max(0.0, std::min(6.0, windowRect().width() / 2.0) - kRim);
    QPainterPath inside;
    inside.addRoundedRect(content, radius, radius);
    painter.setClipPath(inside);
    painter.setPen(Qt::NoPen);

    const QRectF fill = fillRect();
    if (fill.height() > 0) {
        painter.setBrush(roundShading(content, fillColor_));
        painter.drawRect(fill);
        // The surface, catching the light.
        painter.setBrush(fillColor_.lighter(160));
        painter.drawRect(QRectF(fill.left(), fill.top(), fill.width(), 2.0));
    }

    // A reflection on the glass over the whole window.
    QLinearGradient glass(content.topLeft(), content.topRight());
    glass.setColorAt(0.0, QColor(255, 255, 255, 0));
    glass.setColorAt(0.18, QColor(255, 255, 255, 70));
    glass.setColorAt(0.32, QColor(255, 255, 255, 0));
    painter.setBrush(glass);
    painter.drawRect(content);
    painter.setClipping(false);
}

void TankGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    background_.paint(painter, *this, palette().color(QPalette::Window),
                      [this](QPainter& layer) { drawBackground(layer); });
    painter.setRenderHint(QPainter::Antialiasing);
    drawFill(painter);
}
