#include "temperature/temperature_chart.h"

#include <array>

namespace {

SampleChartOptions temperatureOptions() {
    SampleChartOptions options;
    for (int series = 0; series < TemperatureChart::kSeries; ++series) {
        options.series.push_back({QStringLiteral("TEMP %1").arg(series + 1),
                                  TemperatureChart::defaultSeriesColor(series), 2, false});
    }
    options.valueMinimum = -55;
    options.valueMaximum = 125;
    options.unit = QStringLiteral(" °C");
    options.axisTitle = QStringLiteral("Temperatur");
    options.legend = true;
    options.maximumSlider = SampleChartOptions::Slider{40, 1000};
    options.leftRoom = 24; // both sliders stand over the left edge
    options.sizeHint = QSize(647, 311);
    return options;
}

} // namespace

TemperatureChart::TemperatureChart(QWidget* parent) : SampleChart(temperatureOptions(), parent) {}

QColor TemperatureChart::defaultSeriesColor(int series) {
    // Series 1 has no colour of its own; red sets it apart from the others.
    static const std::array<QColor, kSeries> colors{
        QColor(Qt::red),     QColor(0, 255, 0),   QColor(255, 255, 0), QColor(0, 0, 255),
        QColor(255, 0, 128), QColor(0, 255, 255), QColor(0, 128, 64),  QColor(0, 128, 128)};
    return colors.at(static_cast<std::size_t>(series));
}
