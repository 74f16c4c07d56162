#pragma once

#include "widgets/static_layer.h"
#include <QColor>
#include <QWidget>

// A standing cylindrical tank with a window cut into its face that shows the contents:
// filled from the bottom up to the position, on a scale from minimum to maximum. The
// tank casts a shadow to the lower right. A position outside the range shows an empty
// or full tank, but position() keeps the value given.
class TankGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum NOTIFY rangeChanged)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum NOTIFY rangeChanged)
    Q_PROPERTY(QColor tankColor READ tankColor WRITE setTankColor)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(QColor fillColor READ fillColor WRITE setFillColor)

public:
    explicit TankGauge(QWidget* parent = nullptr);

    double position() const { return position_; }
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    QColor tankColor() const { return tankColor_; }
    QColor shadowColor() const { return shadowColor_; }
    QColor fillColor() const { return fillColor_; }

    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setRange(double minimum, double maximum);
    void setTankColor(const QColor& color);
    void setShadowColor(const QColor& color);
    void setFillColor(const QColor& color);

    // The position as drawn: clamped into the range.
    double shownPosition() const;
    // The filled share of the window for the position, 0 to 1.
    double fillFraction() const;

    // Geometry, in widget pixels, for the current size.
    QRectF tankRect() const;           // the tank, domed top and bottom included
    QRectF shadowRect() const;         // the tank's shadow
    double capHeight() const;          // height of the elliptic top and bottom
    QRectF windowRect() const;         // the cut-out in the tank's face
    QRectF contentRect() const;        // inside the cut-out's rim: the full scale
    QRectF fillRect() const;           // the filled part of the content at the position
    double levelY(double value) const; // y of a value (clamped) in the content

    QSize sizeHint() const override { return {137, 415}; }
    QSize minimumSizeHint() const override { return {40, 100}; }

public Q_SLOTS:
    void setPosition(double value);

Q_SIGNALS:
    void positionChanged(double position);
    void rangeChanged(double minimum, double maximum);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    double clamp(double v) const;
    void invalidateBackground();
    void drawBackground(QPainter& painter) const;
    void drawTank(QPainter& painter) const;
    void drawWindow(QPainter& painter) const;
    void drawScale(QPainter& painter) const;
    void drawFill(QPainter& painter) const;

    double position_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 100.0;
    QColor tankColor_{192, 192, 192}; // silver
    QColor shadowColor_{128, 128, 128};
    QColor fillColor_{Qt::blue};
    StaticLayer background_; // shadow, tank, empty window and scale
};
