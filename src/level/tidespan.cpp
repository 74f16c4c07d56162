#include "level/tidespan.h"

#include "chart/point_label.h"
#include "chart/record_status_bar.h"
#include "chart/sample_chart.h"
#include "level/level_decode.h"
#include "level/level_state.h"
#include "level/levellog_line.h"
#include "platform/window_frame.h"
#include "settings/settings.h"
#include "widgets/dot_matrix_display.h"
#include "widgets/instrument_parts.h"
#include "widgets/led.h"
#include "widgets/power_button.h"
#include "widgets/tank_gauge.h"

#include <QIcon>
#include <QLabel>

namespace {

constexpr int kClientWidth = 968, kClientHeight = 474;
constexpr int kStatusX = 795, kStatusWidth = 71;
constexpr int kButtonX = 868, kButtonWidth = 98;
constexpr int kStatusBarHeight = 23;

constexpr QColor kMaroon(128, 0, 0);

SampleChartOptions levelChartOptions(const QString& title, double maximum, const QString& unit,
                                     const QString& axisTitle, QSize size) {
    SampleChartOptions options;
    options.series.push_back({title, QColor(Qt::blue), 3, true});
    options.valueMinimum = 0;
    options.valueMaximum = maximum;
    options.unit = unit;
    options.axisTitle = axisTitle;
    options.sizeHint = size;
    return options;
}

} // namespace

TfmLevel::TfmLevel(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Tidespan"), kClientWidth, kClientHeight);
    setWindowIcon(QIcon(QStringLiteral(":/icons/tidespan.svg")));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    createTankColumn();
    createReadOuts();
    createCharts();
    createStatusColumn();
    createButtonColumn();
    SB1 = new RecordStatusBar(this);
    SB1->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);

    recording_ = std::make_unique<ChartRecording>(
        ChartRecording::Setup{this, &levelRecords, chProzent, SB1, &settings.LCHART_PATH,
                              kLevelLogFormat, QStringLiteral("TideSpan Diagramm")});
    // A full store ends the recording: the switch goes off with it.
    recording_->setRecordingStopped([this] { btRecord->setChecked(false); });
    FormCreate();
}

TfmLevel::~TfmLevel() = default;

void TfmLevel::createTankColumn() {
    Panel4 = MakePanel(this, {2, 6, 147, 443});
    leveltank = new TankGauge(Panel4);
    leveltank->setGeometry(6, 2, 137, 415);
    leveltank->setRange(0, 100);
    labProzent = new QLabel(QStringLiteral("0 %"), Panel4);
    labProzent->setGeometry(6, 417, 137, 24);
    labProzent->setAlignment(Qt::AlignCenter);
    QFont big = labProzent->font();
    big.setPixelSize(21);
    labProzent->setFont(big);
}

void TfmLevel::createReadOuts() {
    Panel3 = MakePanel(this, {152, 6, 641, 81});
    lcdLiter = new DotMatrixDisplay(Panel3);
    lcdLiter->setGeometry(6, 4, 311, 71);
    lcdHoehe = new DotMatrixDisplay(Panel3);
    lcdHoehe->setGeometry(322, 4, 311, 71);
}

void TfmLevel::createCharts() {
    Panel2 = MakePanel(this, {152, 90, 641, 359});
    chProzent =
        new SampleChart(levelChartOptions(QStringLiteral("FÜLLSTAND(%)"), 125, QStringLiteral(" %"),
                                          QStringLiteral("FÜLLSTAND"), {626, 169}),
                        Panel2);
    chProzent->setGeometry(7, 12, 626, 169);
    chHoehe = new SampleChart(levelChartOptions(QStringLiteral("FÜLLHOEHE(cm)"), 300,
                                                QStringLiteral(" cm"), QStringLiteral("FÜLLHÖHE"),
                                                {629, 169}),
                              Panel2);
    chHoehe->setGeometry(4, 178, 629, 169);
}

void TfmLevel::createStatusColumn() {
    iLabel1 = MakeRaisedLabel(QStringLiteral("STATUS"), this, {kStatusX, 5, kStatusWidth, 84});
    Panel1 = MakePanel(this, {kStatusX, 89, kStatusWidth, 269});
    iLabel2 = MakeRaisedLabel(QStringLiteral("I/O"), this, {kStatusX, 360, kStatusWidth, 89});

    // Nothing of the level transmitter drives the alarm and sensor-error LEDs: they stay dark.
    const StatusLeds leds = MakeStatusLeds(Panel1, {8, 29, 37, 86, 40});
    led_alarm = leds.alarm;
    led_fehler = leds.sensorError;
    led_messung = leds.measurement;
    Image = leds.pictures;
}

QPushButton* TfmLevel::makeButton(const QString& caption, const QString& icon, int y, int height,
                                  void (TfmLevel::*handler)()) {
    return MakeToolButton(this, caption, icon, {kButtonX, y, kButtonWidth, height},
                          [this, handler] { (this->*handler)(); });
}

void TfmLevel::createButtonColumn() {
    SpeedButton1 = makeButton(QStringLiteral("ÖFFNEN"), QStringLiteral("button_open"), 3, 86,
                              &TfmLevel::bt_oeffnenClick);
    SpeedButton2 = makeButton(QStringLiteral("SPEICHERN"), QStringLiteral("button_save"), 91, 85,
                              &TfmLevel::bt_speichernClick);
    SpeedButton3 = makeButton(QStringLiteral("DRUCKEN"), QStringLiteral("button_print"), 179, 88,
                              &TfmLevel::printlevelClick);
    SpeedButton4 = makeButton(QStringLiteral("LÖSCHEN"), QStringLiteral("button_clear"), 270, 88,
                              &TfmLevel::bt_clearClick);
    btRecord = new PowerButton(QStringLiteral("AUFNAHME"), this);
    btRecord->setGeometry(kButtonX, 360, kButtonWidth, 89);
    btRecord->setFocusPolicy(Qt::NoFocus);
    btRecord->setOffColor(kMaroon);
    btRecord->setOnColor(Qt::red);
    // The store's switch follows the button.
    connect(btRecord, &QPushButton::toggled, this, [](bool on) { levelRecords.recording = on; });
}

void TfmLevel::FormCreate() {
    for (DotMatrixDisplay* display : {lcdLiter, lcdHoehe}) {
        display->clear();
        display->write(0, 0, QStringLiteral("waiting for data"));
        display->write(6, 1, QStringLiteral("..."));
    }
}

QString TfmLevel::statusPanel(int panel) const {
    return SB1->panel(panel);
}

void TfmLevel::setStatusPanel(int panel, const QString& text) {
    SB1->setPanel(panel, text);
}

// --- What a reading shows ---------------------------------------------------------

void TfmLevel::ShowLevelReading(const LevelReading& reading) {
    led_messung->toggle();
    labProzent->setText(LevelPercentText(reading.words.percent));
    leveltank->setPosition(reading.percent);
    for (auto [display, rows] :
         {std::pair{lcdLiter, &reading.volumeRows}, std::pair{lcdHoehe, &reading.heightRows}}) {
        display->clear();
        display->write(0, 0, (*rows)[0]);
        display->write(0, 1, (*rows)[1]);
    }
    if (levelRecords.recording)
        recordSample(reading.time);
}

void TfmLevel::recordSample(const QDateTime& when) {
    // Nothing is ever written past the store: a full store ends the recording.
    if (!recording_->roomForSample())
        return;
    AddChartPoints(when);
    AppendRecord(when);
}

// --- Recording ---------------------------------------------------------------------

void TfmLevel::AddChartPoints(const QDateTime& when) {
    const QString label = PointLabel(when);
    chProzent->addSample(label, {&levelPercent, 1});
    chHoehe->addSample(label, {&levelHeightCm, 1});
}

void TfmLevel::AppendRecord(const QDateTime& when) {
    recording_->appendRecord(LevelChartLine(when, levelPercent));
}

// --- Handlers ----------------------------------------------------------------------

void TfmLevel::bt_clearClick() {
    chProzent->clear();
    chHoehe->clear();
    recording_->clearRecords();
}

// --- Chart files and printing --------------------------------------------------------

void TfmLevel::bt_speichernClick() {
    recording_->save();
}

void TfmLevel::bt_oeffnenClick() {
    recording_->open();
}

void TfmLevel::RebuildChart() {
    recording_->rebuildChart();
}

void TfmLevel::printlevelClick() {
    recording_->print();
}

void TfmLevel::PrintChart(QPrinter* printer) {
    recording_->printChart(printer);
}
