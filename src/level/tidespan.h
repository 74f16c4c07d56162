#pragma once

#include "chart/chart_recording.h"
#include "level/level_reading.h"

#include <QDateTime>
#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QPrinter;
class QPushButton;
class DotMatrixDisplay;
class Led;
class PowerButton;
class RaisedLabel;
class RecordStatusBar;
class SampleChart;
class TankGauge;

// The TideSpan window: the tank with its percentage, the two dot-matrix read-outs, the
// status LEDs, the percentage and fill-height charts of the recording and the buttons to
// open, save, print and clear it, with the record switch. The program attaches it to the
// level readings (ShowLevelReading).
class TfmLevel : public QWidget {
    Q_OBJECT
public:
    explicit TfmLevel(QWidget* parent = nullptr);
    ~TfmLevel() override;

    QFrame* Panel4 = nullptr; // tank column
    TankGauge* leveltank = nullptr;
    QLabel* labProzent = nullptr;
    QFrame* Panel3 = nullptr; // read-outs
    DotMatrixDisplay* lcdLiter = nullptr;
    DotMatrixDisplay* lcdHoehe = nullptr;
    QFrame* Panel2 = nullptr; // charts
    SampleChart* chProzent = nullptr;
    SampleChart* chHoehe = nullptr;
    RaisedLabel* iLabel1 = nullptr;
    QFrame* Panel1 = nullptr; // status LEDs
    Led* led_alarm = nullptr;
    Led* led_fehler = nullptr;
    Led* led_messung = nullptr;
    std::array<QLabel*, 3> Image{}; // Image1 ... Image3: pictures beside the three LEDs
    RaisedLabel* iLabel2 = nullptr;
    QPushButton* SpeedButton1 = nullptr; // ÖFFNEN
    QPushButton* SpeedButton2 = nullptr; // SPEICHERN
    QPushButton* SpeedButton3 = nullptr; // DRUCKEN
    QPushButton* SpeedButton4 = nullptr; // LÖSCHEN
    PowerButton* btRecord = nullptr;     // AUFNAHME
    RecordStatusBar* SB1 = nullptr;

    // Recording, driven by the level telegram: one point per chart and one record line,
    // stamped with `when`, so that labels and line never differ at a second boundary.
    void AddChartPoints(const QDateTime& when);
    void AppendRecord(const QDateTime& when);

    // Handlers (AUFNAHME switches levelRecords.recording with the button).
    void bt_clearClick();

    // Chart files and printing: the percentage chart only.
    void bt_speichernClick();
    void bt_oeffnenClick();
    void RebuildChart();
    void printlevelClick();
    void PrintChart(QPrinter* printer);

    // What a level reading shows: the measurement LED blinks, the percentage goes under and
    // into the tank, both read-outs are cleared and written anew, and while the record switch
    // is on one sample is recorded at the reading's time, from the live level values (the
    // program stores them before it hands the reading to the window).
    void ShowLevelReading(const LevelReading& reading);
    // AddChartPoints then AppendRecord at `when`; when the store is full, recording stops
    // instead.
    void recordSample(const QDateTime& when);

    // Status bar panels: 0 "Datensätze: n", 1 "Datei: path", 2 the last field number.
    QString statusPanel(int panel) const;
    void setStatusPanel(int panel, const QString& text);

private:
    void FormCreate();
    void createTankColumn();
    void createReadOuts();
    void createCharts();
    void createStatusColumn();
    void createButtonColumn();
    QPushButton* makeButton(const QString& caption, const QString& icon, int y, int height,
                            void (TfmLevel::*handler)());

    std::unique_ptr<ChartRecording> recording_;
};
