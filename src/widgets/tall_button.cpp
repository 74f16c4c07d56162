#include "widgets/tall_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

TallButton::TallButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setIconSize({32, 32});
}

void TallButton::setSpacing(int spacing) {
    if (spacing == spacing_)
        return;
    spacing_ = spacing;
    updateGeometry();
    update();
}

QRect TallButton::iconRect() const {
    const int textHeight = fontMetrics().height();
    const QSize icon = this->icon().isNull() ? QSize() : iconSize();
    const int block = icon.height() + (icon.isEmpty() ? 0 : spacing_) + textHeight;
    const int top = (height() - block) / 2;
    return {(width() - icon.width()) / 2, top, icon.width(), icon.height()};
}

QRect TallButton::textRect() const {
    const QRect icon = iconRect();
    const int top = icon.isEmpty() ? icon.top() : icon.bottom() + 1 + spacing_;
    return {2, top, width() - 4, fontMetrics().height()};
}

QSize TallButton::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    const int width = std::max(textWidth, iconSize().width()) + 16;
    const int height = iconSize().height() + spacing_ + fontMetrics().height() + 16;
    return {width, height};
}

void TallButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option); // the bevel only

    const bool sunken = isDown() || isChecked();
    const QPoint shift = sunken ? QPoint(1, 1) : QPoint();
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    if (!icon().isNull())
        icon().paint(&painter, iconRect().translated(shift), Qt::AlignCenter, mode);
    painter.drawItemText(textRect().translated(shift), Qt::AlignCenter, palette(), isEnabled(),
                         text(), QPalette::ButtonText);
}
