// Placeholder until the chart is built: keeps the window compiling.
#include "temperature/temperature_chart.h"

#include <QCheckBox>
#include <QSlider>

TemperatureChart::TemperatureChart(QWidget* parent) : QWidget(parent) {}
TemperatureChart::~TemperatureChart() = default;
void TemperatureChart::addSample(const QString&, const std::array<double, kSeries>&) {}
void TemperatureChart::clear() {}
int TemperatureChart::pointCount() const {
    return 0;
}
double TemperatureChart::value(int, int) const {
    return 0;
}
QString TemperatureChart::label(int) const {
    return {};
}
void TemperatureChart::setSeriesTitle(int, const QString&) {}
QString TemperatureChart::seriesTitle(int) const {
    return {};
}
void TemperatureChart::setSeriesVisible(int, bool) {}
bool TemperatureChart::isSeriesVisible(int) const {
    return true;
}
void TemperatureChart::setValueMinimum(double) {}
void TemperatureChart::setValueMaximum(double) {}
double TemperatureChart::valueMinimum() const {
    return -55;
}
double TemperatureChart::valueMaximum() const {
    return 125;
}
void TemperatureChart::resetZoom() {}
void TemperatureChart::render(QPainter*, const QRect&) {}
QCheckBox* TemperatureChart::channelBox(int) const {
    return nullptr;
}
QSlider* TemperatureChart::maximumSlider() const {
    return nullptr;
}
QCustomPlot* TemperatureChart::plot() const {
    return nullptr;
}
