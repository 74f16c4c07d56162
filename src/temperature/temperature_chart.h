#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QCustomPlot;
class QPainter;
class QSlider;

// The temperature chart: eight line series over the sample index, the bottom axis
// labelled with each point's text, a legend with a visibility box per channel and the
// slider for the axis maximum inside the chart. Built for 8 x 360001 points: appending
// is O(1) and replots are queued.
class TemperatureChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSeries = 8;

    explicit TemperatureChart(QWidget* parent = nullptr);
    ~TemperatureChart() override;

    // Appends one point per series at the next index, with the point's label.
    void addSample(const QString& label, const std::array<double, kSeries>& values);
    // Removes all points of all series.
    void clear();
    int pointCount() const;
    double value(int series, int index) const;
    QString label(int index) const;

    void setSeriesTitle(int series, const QString& title); // series 0..7
    QString seriesTitle(int series) const;
    void setSeriesVisible(int series, bool visible);
    bool isSeriesVisible(int series) const;

    void setValueMinimum(double minimum);
    void setValueMaximum(double maximum);
    double valueMinimum() const;
    double valueMaximum() const;
    // Back to the whole recorded range after a rubber-band zoom.
    void resetZoom();

    // Draws the chart as it looks now into `target` (printing).
    void render(QPainter* painter, const QRect& target);

    QCheckBox* channelBox(int series) const;
    QSlider* maximumSlider() const;
    QCustomPlot* plot() const;
};
