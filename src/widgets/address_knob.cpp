#include "widgets/address_knob.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr int kWheelNotch = 120; // angle delta of one notch, in eighths of a degree
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kIndicator(Qt::red);
} // namespace

AddressKnob::AddressKnob(QWidget* parent) : QDial(parent) {
    setRange(0, kMaxAddress * kTenths);
    setSingleStep(1);
    setPageStep(kTenths);
    setWrapping(false);
    setNotchesVisible(true);
    setNotchTarget(kTenths);
    setFocusPolicy(Qt::WheelFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Button, kSilver);
    setPalette(colours);
}

void AddressKnob::restOn(int address) {
    const QSignalBlocker quiet(this);
    setValue(std::clamp(address, 0, kMaxAddress) * kTenths);
}

void AddressKnob::wheelEvent(QWheelEvent* event) {
    // A notch turns one whole number, not the application's wheel lines of single steps.
    const QPoint delta = event->angleDelta();
    wheelRemainder_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    for (int n = 0; n < std::abs(notches); ++n)
        triggerAction(notches > 0 ? SliderPageStepAdd : SliderPageStepSub);
    event->accept();
}

QPointF AddressKnob::indicatorCentre() const {
    // The dial's angle: 240 degrees at the minimum, -60 at the maximum, counter-clockwise
    // positive, at the radius of the handle the style draws (and as the mouse is read).
    const int r = std::min(width(), height()) / 2;
    const int notchLength = std::clamp(r / 6, std::min(4, r / 2), std::max(4, r / 2));
    const double handleRadius = 0.70 * (r - notchLength - 3);
    const double span = maximum() - minimum();
    const double t = span > 0 ? (sliderPosition() - minimum()) / span : 0.0;
    const double angle = (8.0 - 10.0 * t) * std::numbers::pi / 6.0;
    const QPointF centre(width() / 2.0, height() / 2.0);
    return centre + QPointF(handleRadius * std::cos(angle), -handleRadius * std::sin(angle));
}

void AddressKnob::paintEvent(QPaintEvent* event) {
    QDial::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    const double r = std::max(3.0, side / 14.0);
    painter.setPen(QPen(kIndicator.darker(150), 1.0));
    painter.setBrush(isEnabled() ? kIndicator : kIndicator.lighter(160));
    painter.drawEllipse(indicatorCentre(), r, r);
}
