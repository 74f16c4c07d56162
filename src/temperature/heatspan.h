#pragma once

#include "alarm/check_alarms.h"
#include "chart/chart_recording.h"
#include "temperature/temperature_decode.h"

#include <QDateTime>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QCheckBox;
class QSlider;
class QPushButton;
class QFrame;
class QPrinter;
class Led;
class RaisedLabel;
class ThermometerGauge;
class RecordStatusBar;
class TemperatureChart;

// The HeatSpan window: eight thermometer gauges, the status LEDs, the chart of the
// recorded temperatures and the buttons to record, clear, open, save and print.
// The program attaches it to the HeatSpan readings (as their TemperatureDisplay) and
// installs it as the alarm response.
class TfmTermo : public QWidget, public TemperatureDisplay, public AlarmResponse {
    Q_OBJECT
public:
    explicit TfmTermo(QWidget* parent = nullptr);
    ~TfmTermo() override;

    std::array<RaisedLabel*, 8> lab_t{};      // lab_t1 ... lab_t8
    std::array<ThermometerGauge*, 8> iTerm{}; // iTerm1 ... iTerm8
    std::array<RaisedLabel*, 8> gTemp{};      // gTemp1 ... gTemp8
    Led* led_t7 = nullptr;
    Led* led_t8 = nullptr;
    RaisedLabel* iLabel1 = nullptr;
    QFrame* Panel1 = nullptr;
    Led* led_alarm = nullptr;
    Led* led_fehler = nullptr;
    Led* led_messung = nullptr;
    std::array<QLabel*, 3> Image{}; // Image1 ... Image3: pictures beside the three LEDs
    RaisedLabel* iLabel2 = nullptr;
    RaisedLabel* iLabel3 = nullptr;
    QPushButton* SpeedButton1 = nullptr; // RESET MIN/MAX
    QPushButton* SpeedButton2 = nullptr; // ÖFFNEN
    QPushButton* SpeedButton3 = nullptr; // SPEICHERN
    QPushButton* SpeedButton4 = nullptr; // DRUCKEN
    QPushButton* SpeedButton5 = nullptr; // LÖSCHEN
    QPushButton* bt_aufnahme = nullptr;  // AUFNAHME
    TemperatureChart* Chart1 = nullptr;
    std::array<QCheckBox*, 8> chkTemp{}; // chkTemp1 ... chkTemp8
    QSlider* TrackBar1 = nullptr;        // axis minimum
    QSlider* TrackBar2 = nullptr;        // axis maximum
    RecordStatusBar* SB1 = nullptr;

    // Recording, driven by the status telegram: one sample's chart points and record line,
    // both stamped with `when`, so that label and line never differ at a second boundary.
    void AddChartPoints(const QDateTime& when);
    void AppendRecord(const QDateTime& when);

    // Handlers.
    void FormShow();
    void bt_reset_MMClick();
    void bt_aufnahmeClick();
    void bt_clearClick();
    void TrackBar1Change();

    // Chart files and printing.
    void bt_speichernClick();
    void bt_oeffnenClick();
    void RebuildChart();
    void AdvToolButton2Click();
    void PrintChart(QPrinter* printer);

    // What the readings show (TemperatureDisplay).
    void toggleMeasurementLed() override;
    void showChannelText(int channel, const QString& text) override;
    void setChannelPosition(int channel, double value) override;
    void setStatusLeds(bool alarm, bool sensorError) override;
    void setHighRange(int channel, bool high) override;
    // AddChartPoints then AppendRecord, both at the status reading's time; when the store
    // is full, recording stops instead.
    void recordSample(const QDateTime& when) override;

    // The alarm response: shown and in front.
    void showTemperatureWindow() override;

    // Status bar panels: 0 "Datensätze: n", 1 "Datei: path", 2 the last field number.
    void setStatusPanel(int panel, const QString& text);
    QString statusPanel(int panel) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void createChannelColumns();
    void createStatusColumn();
    void createButtonColumn();
    void createChart();
    QPushButton* makeButton(const QString& caption, const QString& icon, int y, int height,
                            void (TfmTermo::*handler)());

    std::unique_ptr<ChartRecording> recording_;
};
