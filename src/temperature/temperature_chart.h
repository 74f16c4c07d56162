#pragma once

#include "temperature/chart_data.h"

#include <QColor>
#include <QWidget>

#include <array>

class QCheckBox;
class QCustomPlot;
class QCPPainter;
class QSlider;
class DecimatedGraph;
class ChartPlot;

// The temperature chart: eight line series over the sample index, the bottom axis
// labelled with each point's text, a legend with a visibility box per channel and the
// slider for the axis maximum inside the chart. Built for 8 x 360001 points: appending
// is O(1), each replot draws only a first/min/max/last summary per pixel column of the
// visible range, and replots are queued.
class TemperatureChart : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double valueMinimum READ valueMinimum WRITE setValueMinimum NOTIFY valueRangeChanged)
    Q_PROPERTY(double valueMaximum READ valueMaximum WRITE setValueMaximum NOTIFY valueRangeChanged)
    Q_PROPERTY(int pointCount READ pointCount NOTIFY pointCountChanged)
public:
    static constexpr int kSeries = 8;

    explicit TemperatureChart(QWidget* parent = nullptr);
    ~TemperatureChart() override;

    // Appends one point per series at the next index, with the point's label.
    void addSample(const QString& label, const std::array<double, kSeries>& values);
    // The same with the label as UTF-8 bytes (reading files).
    void addSampleUtf8(QByteArrayView label, const std::array<double, kSeries>& values);
    // Removes all points of all series.
    void clear();
    int pointCount() const;
    double value(int series, int index) const;
    QString label(int index) const;

    void setSeriesTitle(int series, const QString& title); // series 0..7
    QString seriesTitle(int series) const;
    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const;
    QColor seriesColor(int series) const;
    static QColor defaultSeriesColor(int series);

    void setValueMinimum(double minimum);
    void setValueMaximum(double maximum);
    double valueMinimum() const;
    double valueMaximum() const;
    // Back to the whole recorded range after a rubber-band zoom.
    void resetZoom();
    bool isZoomed() const { return zoomed_; }
    // Shows only the points between `lower` and `upper` (sample indices), as a zoom does.
    void zoomTo(double lower, double upper);

    // Least distance in pixels between two labels of the bottom axis.
    static constexpr int kLabelSpacing = 100;

    // Draws the chart as it looks now into `target` (printing): laid out at the size in
    // screen pixels that `target` has on the painter's device, then scaled as vector
    // graphics, so it looks as on the screen.
    void render(QCPPainter* painter, const QRect& target);

    QCheckBox* channelBox(int series) const;
    QSlider* maximumSlider() const;
    QCustomPlot* plot() const;

    // The label indices the bottom axis shows now (geometry helper for tests).
    std::vector<int> labelTicks() const;
    // What a series draws for its visible range now (indices into its points).
    std::vector<int> drawnIndices(int series) const;

    QSize sizeHint() const override { return {647, 311}; }

Q_SIGNALS:
    void valueRangeChanged();
    void pointCountChanged(int count);
    void seriesVisibleChanged(int series, bool visible);

private:
    void setupAxes();
    void setupLegend();
    void placeLegendBoxes();
    void appendValues(const std::array<double, kSeries>& values);
    void followNewPoints();
    void followAllPoints();
    void applyValueRange();
    void onRectZoom();
    void queueReplot();

    ChartPlot* plot_ = nullptr;
    std::array<SeriesValues, kSeries> values_;
    std::array<DecimatedGraph*, kSeries> graphs_{};
    std::array<QCheckBox*, kSeries> boxes_{};
    ChartLabels labels_;
    QSlider* maximumSlider_ = nullptr;
    double valueMinimum_ = -55;
    double valueMaximum_ = 125;
    bool zoomed_ = false;
};
