#include "temperature/heatspan.h"

#include "platform/window_frame.h"
#include "temperature/temperature_chart.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QStatusBar>

// Placeholder window: only the chart and the status bar, until the gauges are built.
TfmTermo::TfmTermo(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("HeatSpan"), 766, 583);
    Chart1 = new TemperatureChart(this);
    Chart1->setGeometry(4, 243, 647, 311);
    for (int i = 0; i < 8; ++i)
        chkTemp[static_cast<std::size_t>(i)] = Chart1->channelBox(i);
    TrackBar2 = Chart1->maximumSlider();
    TrackBar1 = new QSlider(Qt::Vertical, this);
    SB1 = new QStatusBar(this);
    SB1->setGeometry(0, 560, 766, 23);
    SB1->setSizeGripEnabled(false);
    const int widths[] = {200, 400, 50};
    const QString texts[] = {QStringLiteral("Datensätze:"), QStringLiteral("Datei:"), QString()};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(texts[i], SB1);
        panel->setFixedWidth(widths[i]);
        SB1->addWidget(panel);
        panels_[static_cast<std::size_t>(i)] = panel;
    }
}

void TfmTermo::setStatusPanel(int panel, const QString& text) {
    panels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString TfmTermo::statusPanel(int panel) const {
    return panels_.at(static_cast<std::size_t>(panel))->text();
}

void TfmTermo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
}
void TfmTermo::FormShow() {}
void TfmTermo::FormCreate() {}
void TfmTermo::AddChartPoints() {}
void TfmTermo::AppendRecord() {}
void TfmTermo::bt_reset_MMClick() {}
void TfmTermo::bt_aufnahmeClick() {}
void TfmTermo::bt_clearClick() {}
void TfmTermo::chkTempClick(int) {}
void TfmTermo::TrackBar1Change() {}
void TfmTermo::TrackBar2Change() {}
