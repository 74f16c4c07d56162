#pragma once

#include "widgets/static_layer.h"
#include <QColor>
#include <QWidget>

// A thermometer: a vertical tube with a bulb, filled from the bottom up to the
// position, a scale with ticks and numbers beside it, and two markers that follow the
// lowest and highest position given since they were last set. Every position is
// clamped to the range before it is compared, so the markers never leave the range;
// a position that does not change (after clamping) moves nothing.
class ThermometerGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(double minMarker READ minMarker WRITE setMinMarker)
    Q_PROPERTY(double maxMarker READ maxMarker WRITE setMaxMarker)
    Q_PROPERTY(bool markersVisible READ markersVisible WRITE setMarkersVisible)
    Q_PROPERTY(QColor barColor READ barColor WRITE setBarColor)
    Q_PROPERTY(QColor markerColor READ markerColor WRITE setMarkerColor)

public:
    explicit ThermometerGauge(QWidget* parent = nullptr);

    double position() const { return position_; }
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double minMarker() const { return minMarker_; }
    double maxMarker() const { return maxMarker_; }
    bool markersVisible() const { return markersVisible_; }
    QColor barColor() const { return barColor_; }
    QColor markerColor() const { return markerColor_; }

    // Range ends; a range change clamps position and markers into the new range.
    void setMinimum(double minimum);
    void setMaximum(double maximum);
    void setRange(double minimum, double maximum);
    // Places a marker directly (clamped), e.g. at the opposite end for a reset.
    void setMinMarker(double value);
    void setMaxMarker(double value);
    void setMarkersVisible(bool visible);
    void setBarColor(const QColor& color);
    void setMarkerColor(const QColor& color);

    // Geometry, in widget pixels, for the current size.
    QRectF tubeRect() const;            // the tube, bulb excluded
    QRectF barRect() const;             // the filled part of the tube at the position
    double positionToY(double v) const; // y of a value on the scale (clamped)
    double markerY(double v) const { return positionToY(v); }
    double scaleTop() const;
    double scaleBottom() const;
    // Scale steps chosen for the range: numbered ticks every majorStep, minor between.
    double majorStep() const;
    double minorStep() const;

    QSize sizeHint() const override { return {70, 200}; }
    QSize minimumSizeHint() const override { return {40, 80}; }

public Q_SLOTS:
    void setPosition(double value);

Q_SIGNALS:
    void positionChanged(double position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    double clamp(double v) const;
    void clampIntoRange();
    void invalidateBackground();
    void drawBackground(QPainter& painter) const;
    void drawScale(QPainter& painter) const;
    void drawMarkers(QPainter& painter) const;
    QColor shownBarColor() const;

    double position_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 100.0;
    double minMarker_ = 0.0;
    double maxMarker_ = 0.0;
    bool markersVisible_ = true;
    QColor barColor_{Qt::red};
    QColor markerColor_{0, 128, 128}; // teal
    StaticLayer background_;          // frame, tube and scale
};
