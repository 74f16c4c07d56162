#pragma once

#include "chart/chart_data.h"

#include <QColor>
#include <QWidget>

#include <optional>
#include <span>
#include <vector>

class QCheckBox;
class QCustomPlot;
class QCPPainter;
class QSlider;
class DecimatedGraph;
class ChartPlot;

// How a sample chart looks: its series (lines or filled areas), the value axis (fixed range,
// unit of the numbers, title), and optionally a legend with a visibility box per series and a
// slider inside the chart for the axis maximum.
struct SampleChartOptions {
    struct Series {
        QString title;
        QColor color;
        int lineWidth = 2;
        bool filled = false; // an area down to the value 0
    };
    struct Slider {
        int minimum = 0;
        int maximum = 100;
    };

    std::vector<Series> series;
    double valueMinimum = 0;
    double valueMaximum = 100;
    QString unit;      // after the value axis numbers: " °C", " %", " cm"
    QString axisTitle; // the value axis title
    bool legend = false;
    std::optional<Slider> maximumSlider;
    // Pixels kept free along the left edge for controls laid over the chart (the sliders
    // of the value axis), so that no axis text lies under them.
    int leftRoom = 0;
    QSize sizeHint{647, 311};
};

// A chart of recorded samples on QCustomPlot: N series over the sample index, the bottom
// axis labelled with each point's text. Built for 360001 points per series: appending is
// O(1), each replot draws only a first/min/max/last summary per pixel column of the visible
// range, and replots are queued. A rubber band zooms in; a double or right click goes back.
class SampleChart : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double valueMinimum READ valueMinimum WRITE setValueMinimum NOTIFY valueRangeChanged)
    Q_PROPERTY(double valueMaximum READ valueMaximum WRITE setValueMaximum NOTIFY valueRangeChanged)
    Q_PROPERTY(int pointCount READ pointCount NOTIFY pointCountChanged)
public:
    explicit SampleChart(const SampleChartOptions& options, QWidget* parent = nullptr);
    ~SampleChart() override;

    int seriesCount() const { return static_cast<int>(values_.size()); }

    // Appends one point per series (values[i] to series i) at the next index, with the
    // point's label; the label as UTF-8 bytes when read from a file.
    void addSample(const QString& label, std::span<const double> values);
    void addSampleUtf8(QByteArrayView label, std::span<const double> values);
    // Removes all points of all series.
    void clear();
    int pointCount() const;
    double value(int series, int index) const;
    QString label(int index) const;

    void setSeriesTitle(int series, const QString& title);
    QString seriesTitle(int series) const;
    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const;
    QColor seriesColor(int series) const;
    bool isSeriesFilled(int series) const;

    void setValueMinimum(double minimum);
    void setValueMaximum(double maximum);
    double valueMinimum() const { return valueMinimum_; }
    double valueMaximum() const { return valueMaximum_; }
    // The value axis text for a number ("#,##0.#" and the unit).
    QString valueText(double value) const;

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

    // The legend's visibility box of a series, and the maximum slider; nullptr when the chart
    // has none.
    QCheckBox* seriesBox(int series) const;
    QSlider* maximumSlider() const { return maximumSlider_; }
    QCustomPlot* plot() const;

    // The label indices the bottom axis shows now (geometry helper for tests).
    std::vector<int> labelTicks() const;
    // What a series draws for its visible range now (indices into its points).
    std::vector<int> drawnIndices(int series) const;

    QSize sizeHint() const override { return sizeHint_; }

Q_SIGNALS:
    void valueRangeChanged();
    void pointCountChanged(int count);
    void seriesVisibleChanged(int series, bool visible);

private:
    void setupAxes(const SampleChartOptions& options);
    void setupLegend();
    void setupMaximumSlider(const SampleChartOptions::Slider& range);
    void placeLegendBoxes();
    void keepEdgeLabelsInside();
    void appendValues(std::span<const double> values);
    void followNewPoints();
    void followAllPoints();
    void applyValueRange();
    void onRectZoom();
    void queueReplot();

    ChartPlot* plot_ = nullptr;
    std::vector<SeriesValues> values_;
    std::vector<DecimatedGraph*> graphs_;
    std::vector<QCheckBox*> boxes_;
    ChartLabels labels_;
    QSlider* maximumSlider_ = nullptr;
    QString unit_;
    double valueMinimum_ = 0;
    double valueMaximum_ = 100;
    bool zoomed_ = false;
    QSize sizeHint_;
};
