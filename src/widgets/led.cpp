#include "widgets/led.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

Led::Led(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void Led::setActive(bool active) {
    if (active == active_)
        return;
    active_ = active;
    update();
    Q_EMIT activeChanged(active_);
}

void Led::setActiveColor(const QColor& color) {
    if (color == activeColor_)
        return;
    activeColor_ = color;
    if (active_)
        update();
}

void Led::setInactiveColor(const QColor& color) {
    if (color == inactiveColor_)
        return;
    inactiveColor_ = color;
    if (!active_)
        update();
}

void Led::setColors(const QColor& active, const QColor& inactive) {
    setActiveColor(active);
    setInactiveColor(inactive);
}

void Led::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height()) - 1.0;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    const QColor base = currentColor();
    QRadialGradient gradient(circle.center() - QPointF(side / 5.0, side / 5.0), side / 1.4);
    gradient.setColorAt(0.0, base.lighter(active_ ? 170 : 130));
    gradient.setColorAt(1.0, base.darker(active_ ? 110 : 140));

    painter.setPen(QPen(palette().color(QPalette::Mid), 1.0));
    painter.setBrush(gradient);
    painter.drawEllipse(circle);
}
