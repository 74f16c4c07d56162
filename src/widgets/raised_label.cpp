#include "widgets/raised_label.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

RaisedLabel::RaisedLabel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

RaisedLabel::RaisedLabel(const QString& text, QWidget* parent) : RaisedLabel(parent) {
    text_ = text;
}

void RaisedLabel::setText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    updateGeometry();
    update();
    Q_EMIT textChanged(text_);
}

void RaisedLabel::setAlignment(Qt::Alignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void RaisedLabel::setBevelWidth(int width) {
    width = std::max(0, width);
    if (width == bevelWidth_)
        return;
    bevelWidth_ = width;
    updateGeometry();
    update();
}

QRect RaisedLabel::contentsRectInsideBevel() const {
    const int inset = bevelWidth_ + 1;
    return rect().adjusted(inset, inset, -inset, -inset);
}

QSize RaisedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    const int inset = 2 * (bevelWidth_ + 1);
    return {metrics.horizontalAdvance(text_) + inset + 6, metrics.height() + inset};
}

QSize RaisedLabel::minimumSizeHint() const {
    const int inset = 2 * (bevelWidth_ + 1);
    return {inset, QFontMetrics(font()).height() + inset};
}

void RaisedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), false, bevelWidth_,
                    &palette().brush(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRectInsideBevel(), static_cast<int>(alignment_), text_);
}
