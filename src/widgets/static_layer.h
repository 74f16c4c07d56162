#pragma once

#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

// The static parts of an instrument widget (frame, scale, tank, glass) drawn once into a
// pixmap at the widget's size and pixel ratio, and drawn again only when they went stale:
// a new size, palette, font or enabled state, or a property of the static parts.
class StaticLayer {
public:
    // Drops the picture; the next paint draws it anew.
    void invalidate() { pixmap_ = QPixmap(); }

    // Whether a change event of the widget makes the picture stale.
    static bool staleAfter(const QEvent* event) {
        switch (event->type()) {
        case QEvent::EnabledChange:
        case QEvent::PaletteChange:
        case QEvent::FontChange:
            return true;
        default:
            return false;
        }
    }

    // Puts the picture on `painter`, drawing it first with `draw` when it is missing or was
    // made for another size or pixel ratio (the window moved to another screen). The picture starts
    // out in `fill`.
    template <typename Draw>
    void paint(QPainter& painter, const QWidget& widget, const QColor& fill, Draw draw) {
        const qreal ratio = widget.devicePixelRatioF();
        if (pixmap_.isNull() || pixmap_.devicePixelRatio() != ratio ||
            pixmap_.deviceIndependentSize().toSize() != widget.size()) {
            pixmap_ = QPixmap(widget.size() * ratio);
            pixmap_.setDevicePixelRatio(ratio);
            pixmap_.fill(fill);
            QPainter layer(&pixmap_);
            draw(layer);
        }
        painter.drawPixmap(0, 0, pixmap_);
    }

private:
    QPixmap pixmap_;
};
