#include "temperature/heatspan.h"

#include "chart/point_label.h"
#include "chart/record_status_bar.h"
#include "platform/file_text.h"
#include "platform/window_frame.h"
#include "settings/settings.h"
#include "temperature/temperature_chart.h"
#include "temperature/termolog_line.h"
#include "widgets/instrument_parts.h"
#include "widgets/led.h"
#include "widgets/raised_label.h"
#include "widgets/thermometer_gauge.h"

#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QPrinter>
#include <QSlider>

namespace {

constexpr int kColumnWidth = 70;
constexpr int kColumnPitch = 72;
constexpr int kNameY = 4, kRowHeight = 17, kGaugeY = 20, kGaugeHeight = 200, kValueY = 220;
constexpr int kStatusX = 580;
constexpr int kButtonX = 657, kButtonWidth = 104;
constexpr double kNormalTop = 125.0, kHighTop = 1000.0, kBottom = -55.0;

constexpr QColor kMaroon(128, 0, 0), kTeal(0, 128, 128);

// Bar colours of gauges 1..8 (gauge 1 has no colour of its own; red sets it apart).
const std::array<QColor, 8> kBarColors = {
    QColor(Qt::red),     QColor(0, 255, 0),   QColor(255, 255, 0), QColor(0, 0, 255),
    QColor(255, 0, 255), QColor(0, 255, 255), QColor(0, 128, 0),   kTeal};

QString channelName(int channel) {
    return FromStoredText(settings.channelName(channel));
}

std::size_t index(int channel) {
    return static_cast<std::size_t>(channel - 1);
}

} // namespace

TfmTermo::TfmTermo(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("HeatSpan"), 766, 583);
    setWindowIcon(QIcon(QStringLiteral(":/icons/heatspan.svg")));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    createChannelColumns();
    createStatusColumn();
    createButtonColumn();
    createChart();
    SB1 = new RecordStatusBar(this);
    SB1->setGeometry(0, 583 - 23, 766, 23);
    recording_ = std::make_unique<ChartRecording>(
        ChartRecording::Setup{this, &tempRecords, Chart1, SB1, &settings.TCHART_PATH,
                              kTermoLogFormat, QStringLiteral("HeatSpan Diagramm")});
    FormCreate();
}

TfmTermo::~TfmTermo() = default;

void TfmTermo::createChannelColumns() {
    for (int n = 1; n <= 8; ++n) {
        const int x = 4 + kColumnPitch * (n - 1);
        const int nameWidth = n == 7 ? 54 : n == 8 ? 55 : kColumnWidth;
        lab_t[index(n)] = MakeRaisedLabel(channelName(n), this, {x, kNameY, nameWidth, kRowHeight});

        auto* gauge = new ThermometerGauge(this);
        gauge->setGeometry(x, kGaugeY, kColumnWidth, kGaugeHeight);
        gauge->setRange(kBottom, kNormalTop);
        gauge->setBarColor(kBarColors[index(n)]);
        gauge->setMarkerColor(kTeal);
        iTerm[index(n)] = gauge;

        const QString placeholder = n <= 6 ? QStringLiteral("0.00 °C") : QStringLiteral("00.0 °C");
        gTemp[index(n)] =
            MakeRaisedLabel(placeholder, this, {x, kValueY, kColumnWidth, kRowHeight});
    }
    iTerm[7]->setEnabled(false);

    led_t7 = new Led(this);
    led_t8 = new Led(this);
    for (auto [led, n] : {std::pair{led_t7, 7}, std::pair{led_t8, 8}}) {
        const QRect name = lab_t[index(n)]->geometry();
        led->setGeometry(name.right() + 4, kNameY + 3, 10, 10);
        led->setColors(Qt::red, kMaroon);
    }
}

void TfmTermo::createStatusColumn() {
    iLabel1 = MakeRaisedLabel(QStringLiteral("STATUS"), this, {kStatusX, kNameY, 70, kRowHeight});
    Panel1 = MakePanel(this, {kStatusX, kGaugeY, 70, kGaugeHeight});
    iLabel2 = MakeRaisedLabel(QStringLiteral("I/O"), this, {kStatusX, kValueY, 70, kRowHeight});
    const StatusLeds leds = MakeStatusLeds(Panel1, {9, 35, 28, 36, 64});
    led_alarm = leds.alarm;
    led_fehler = leds.sensorError;
    led_messung = leds.measurement;
    Image = leds.pictures;
}

QPushButton* TfmTermo::makeButton(const QString& caption, const QString& icon, int y, int height,
                                  void (TfmTermo::*handler)()) {
    return MakeToolButton(this, caption, icon, {kButtonX, y, kButtonWidth, height},
                          [this, handler] { (this->*handler)(); });
}

void TfmTermo::createButtonColumn() {
    iLabel3 =
        MakeRaisedLabel(QStringLiteral("DIAGRAMM"), this, {kButtonX, kNameY, kButtonWidth, 17});
    SpeedButton1 = makeButton(QStringLiteral("RESET MIN/MAX"), QStringLiteral("button_reset"), 23,
                              85, &TfmTermo::bt_reset_MMClick);
    SpeedButton2 = makeButton(QStringLiteral("ÖFFNEN"), QStringLiteral("button_open"), 111, 85,
                              &TfmTermo::bt_oeffnenClick);
    SpeedButton3 = makeButton(QStringLiteral("SPEICHERN"), QStringLiteral("button_save"), 202, 85,
                              &TfmTermo::bt_speichernClick);
    SpeedButton4 = makeButton(QStringLiteral("DRUCKEN"), QStringLiteral("button_print"), 293, 85,
                              &TfmTermo::AdvToolButton2Click);
    SpeedButton5 = makeButton(QStringLiteral("LÖSCHEN"), QStringLiteral("button_clear"), 384, 85,
                              &TfmTermo::bt_clearClick);
    bt_aufnahme = makeButton(QStringLiteral("AUFNAHME"), QStringLiteral("button_record"), 475, 79,
                             &TfmTermo::bt_aufnahmeClick);
}

void TfmTermo::createChart() {
    Chart1 = new TemperatureChart(this);
    Chart1->setGeometry(4, 243, 647, 311);
    Chart1->setCursor(Qt::PointingHandCursor);
    // The channel boxes beside the legend and the maximum slider live in the chart, which
    // wires them to its series and value axis itself.
    for (int n = 1; n <= 8; ++n)
        chkTemp[index(n)] = Chart1->channelBox(n - 1);
    TrackBar2 = Chart1->maximumSlider();

    // The axis minimum slider sits on the window, over the chart's lower left corner.
    TrackBar1 = new QSlider(Qt::Vertical, this);
    TrackBar1->setRange(-55, 0);
    TrackBar1->setValue(-55);
    TrackBar1->setTickPosition(QSlider::NoTicks);
    TrackBar1->setGeometry(8, 243 + 311 - 118, 20, 110);
    TrackBar1->raise();
    connect(TrackBar1, &QSlider::valueChanged, this, [this] { TrackBar1Change(); });
}

void TfmTermo::setStatusPanel(int panel, const QString& text) {
    SB1->setPanel(panel, text);
}

QString TfmTermo::statusPanel(int panel) const {
    return SB1->panel(panel);
}

void TfmTermo::FormCreate() {
    // The gauges start at the bottom of their range, their markers with them.
    for (ThermometerGauge* gauge : iTerm) {
        gauge->setPosition(kBottom);
        gauge->setMinMarker(kBottom);
        gauge->setMaxMarker(kBottom);
    }
}

void TfmTermo::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfmTermo::FormShow() {
    for (int n = 1; n <= 8; ++n) {
        lab_t[index(n)]->setText(channelName(n));
        Chart1->setSeriesTitle(n - 1, channelName(n));
    }
}

// --- What the readings show ---------------------------------------------------------

void TfmTermo::toggleMeasurementLed() {
    led_messung->toggle();
}

void TfmTermo::showChannelText(int channel, const QString& text) {
    gTemp.at(index(channel))->setText(text);
}

void TfmTermo::setChannelPosition(int channel, double value) {
    iTerm.at(index(channel))->setPosition(value);
}

void TfmTermo::setStatusLeds(bool alarm, bool sensorError) {
    led_alarm->setActive(alarm);
    led_fehler->setActive(sensorError);
}

void TfmTermo::setHighRange(int channel, bool high) {
    (channel == 7 ? led_t7 : led_t8)->setActive(high);
    iTerm.at(index(channel))->setMaximum(high ? kHighTop : kNormalTop);
}

void TfmTermo::recordSample(const QDateTime& when) {
    // Nothing is ever written past the store: a full store ends the recording.
    if (!recording_->roomForSample())
        return;
    AddChartPoints(when);
    AppendRecord(when);
}

void TfmTermo::showTemperatureWindow() {
    ShowWindow(this);
}

// --- Recording ---------------------------------------------------------------------

void TfmTermo::AddChartPoints(const QDateTime& when) {
    Chart1->addSample(PointLabel(when), liveTemperatures);
}

void TfmTermo::AppendRecord(const QDateTime& when) {
    recording_->appendRecord(TermoLogLine(when, liveTemperatures));
}

// --- Handlers ----------------------------------------------------------------------

void TfmTermo::bt_reset_MMClick() {
    // Markers to the opposite ends of the normal range: the next change pulls both.
    for (ThermometerGauge* gauge : iTerm) {
        gauge->setMaxMarker(kBottom);
        gauge->setMinMarker(kNormalTop);
    }
}

void TfmTermo::bt_aufnahmeClick() {
    tempRecords.recording = !tempRecords.recording;
}

void TfmTermo::bt_clearClick() {
    Chart1->clear();
    recording_->clearRecords();
}

void TfmTermo::TrackBar1Change() {
    Chart1->setValueMinimum(TrackBar1->value());
}

// --- Chart files and printing --------------------------------------------------------

void TfmTermo::bt_speichernClick() {
    recording_->save();
}

void TfmTermo::bt_oeffnenClick() {
    recording_->open();
}

void TfmTermo::RebuildChart() {
    recording_->rebuildChart();
}

void TfmTermo::AdvToolButton2Click() {
    recording_->print();
}

void TfmTermo::PrintChart(QPrinter* printer) {
    recording_->printChart(printer);
}
