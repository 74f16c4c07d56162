#include "widgets/power_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

PowerButton::PowerButton(QWidget* parent) : PowerButton(QString(), parent) {}

PowerButton::PowerButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setCheckable(true);
}

void PowerButton::setOffColor(const QColor& color) {
    if (color == offColor_)
        return;
    offColor_ = color;
    if (!isChecked())
        update();
}

void PowerButton::setOnColor(const QColor& color) {
    if (color == onColor_)
        return;
    onColor_ = color;
    if (isChecked())
        update();
}

void PowerButton::setSymbolSize(int pixels) {
    pixels = std::max(8, pixels);
    if (pixels == symbolSize_)
        return;
    symbolSize_ = pixels;
    updateGeometry();
    update();
}

QRect PowerButton::symbolRect() const {
    const int textHeight = text().isEmpty() ? 0 : fontMetrics().height() + spacing_;
    const int top = (height() - symbolSize_ - textHeight) / 2;
    return {(width() - symbolSize_) / 2, top, symbolSize_, symbolSize_};
}

QRect PowerButton::textRect() const {
    return {2, symbolRect().bottom() + 1 + spacing_, width() - 4, fontMetrics().height()};
}

QSize PowerButton::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {std::max(textWidth, symbolSize_) + 20,
            symbolSize_ + spacing_ + fontMetrics().height() + 20};
}

void PowerButton::drawSymbol(QPainter& painter, const QRectF& box) const {
    const QColor color = symbolColor();
    const double stroke = std::max(2.0, box.width() / 9.0);
    const QRectF ring = box.adjusted(stroke, stroke, -stroke, -stroke);

    if (isChecked()) {
        // Lit: a soft glow behind the symbol.
        QRadialGradient glow(box.center(), box.width() * 0.62);
        QColor inner = color;
        inner.setAlpha(110);
        QColor outer = color;
        outer.setAlpha(0);
        glow.setColorAt(0.45, inner);
        glow.setColorAt(1.0, outer);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        const double halo = box.width() * 0.12;
        painter.drawEllipse(box.adjusted(-halo, -halo, halo, halo));
    }

    // The ring opens at the top, where the bar stands in the gap.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, stroke, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring.adjusted(0, stroke * 0.6, 0, 0), 125 * 16, 290 * 16);
    const QPointF centre = ring.center() + QPointF(0, stroke * 0.3);
    painter.drawLine(QPointF(centre.x(), ring.top() - stroke * 0.3),
                     QPointF(centre.x(), centre.y() - stroke * 0.2));
}

void PowerButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    if (isChecked())
        option.state |= QStyle::State_Sunken | QStyle::State_On;
    painter.drawControl(QStyle::CE_PushButton, option); // the bevel only

    const bool sunken = isDown() || isChecked();
    const QPoint shift = sunken ? QPoint(1, 1) : QPoint();
    painter.setRenderHint(QPainter::Antialiasing);
    drawSymbol(painter, QRectF(symbolRect().translated(shift)));
    painter.drawItemText(textRect().translated(shift), Qt::AlignCenter, palette(), isEnabled(),
                         text(), QPalette::ButtonText);
}
