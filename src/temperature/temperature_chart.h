#pragma once

#include "chart/sample_chart.h"

class QCheckBox;

// The HeatSpan chart: eight line series (width 2) in the channels' colours, the value axis
// fixed from -55 to 125 ("#,##0.# °C", title "Temperatur"), the legend with a visibility box
// per channel, and the slider for the axis maximum (40 to 1000) inside the chart.
class TemperatureChart : public SampleChart {
    Q_OBJECT
public:
    static constexpr int kSeries = 8;

    explicit TemperatureChart(QWidget* parent = nullptr);

    static QColor defaultSeriesColor(int series);
    // The visibility box of channel series + 1.
    QCheckBox* channelBox(int series) const { return seriesBox(series); }
};
