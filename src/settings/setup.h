#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class AddressKnob;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class RadioGroup;
class SegmentDisplay;

// The setup window. Each control writes its setting the moment it changes, except the
// channel names, which are taken over when the window closes. Showing the window fills the
// controls and changes no setting.
class TfmSetup : public QWidget {
    Q_OBJECT
public:
    explicit TfmSetup(QWidget* parent = nullptr);

    QGroupBox* GroupBox4 = nullptr;      // "TideSpan SETUP"
    QGroupBox* GroupBox6 = nullptr;      // "Datenlogger"
    QCheckBox* ck_Levellog = nullptr;    // "Datenlogger aktiv"
    QLabel* Label18 = nullptr;           // "Datei:"
    QLineEdit* ed_llog = nullptr;        // level log file
    QToolButton* SpeedButton2 = nullptr; // browse for the level log file
    RadioGroup* lev_rg_frequ = nullptr;  // "AUFZEICHNUNG"
    QGroupBox* GroupBox5 = nullptr;      // "TideSpan-ADRESSE"
    AddressKnob* LevelKnob = nullptr;
    SegmentDisplay* seg_levadr = nullptr;
    QCheckBox* chk_v264 = nullptr; // "Firmware < V2.64"
    QCheckBox* chk_v300 = nullptr; // "Firmware V3"

    QGroupBox* GroupBox1 = nullptr;      // "HeatSpan SETUP"
    QGroupBox* GroupBox3 = nullptr;      // "Datenlogger"
    QCheckBox* ck_Termolog = nullptr;    // "Datenlogger aktiv"
    QLabel* Label9 = nullptr;            // "Datei:"
    QLineEdit* ed_tlog = nullptr;        // temperature log file
    QToolButton* SpeedButton1 = nullptr; // browse for the temperature log file
    RadioGroup* rg_frequ = nullptr;      // "AUFZEICHNUNG"
    QGroupBox* GroupBox7 = nullptr;      // "HeatSpan-ADRESSE"
    AddressKnob* TermoKnob = nullptr;
    SegmentDisplay* seg_termadr = nullptr;
    QGroupBox* GroupBox2 = nullptr;   // "Kanalbezeichnung"
    std::array<QLabel*, 8> Label{};   // Label1 ... Label8
    std::array<QLineEdit*, 8> Edit{}; // Edit1 ... Edit8: names of channels 1 to 8

    RadioGroup* rg_port = nullptr; // "Daten Port": USB, COM 1 ... COM 4

    // "Netzwerk…": opens the network window, from space that no other control uses.
    QPushButton* bt_network = nullptr;

    // Fills the controls from the settings.
    void FormShow();

    void ck_LevellogClick();
    void ck_TermologClick();
    void ed_llogChange();
    void ed_tlogChange();
    void SpeedButton2Click();
    void SpeedButton1Click();
    void lev_rg_frequClick();
    void rg_frequClick();
    void rg_portClick();
    void LevelKnobPositionChange();
    void TermoKnobPositionChange();
    void LevelKnobClick();
    void TermoKnobClick();
    void chk_v264Click();
    void chk_v300Click();

public Q_SLOTS:
    // Shows the two loggers' switches as they stand (a logger switched itself off).
    void ShowLoggerSwitches();

Q_SIGNALS:
    // The window was closed: the program takes over the channel names.
    void closed();
    // "Netzwerk…" was clicked: the program shows the network window.
    void networkRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct LoggerControls {
        QGroupBox* group;
        QCheckBox* active;
        QLabel* label;
        QLineEdit* path;
        QToolButton* browse;
    };
    LoggerControls makeLoggerGroup(QWidget* parent, int width);
    RadioGroup* makeIntervalGroup(QWidget* parent, int width);
    QGroupBox* makeAddressGroup(const QString& caption, QWidget* parent, int width,
                                AddressKnob*& knob, SegmentDisplay*& display);
    void createTideSpanGroup();
    void createHeatSpanGroup();
    void connectHandlers();

    void browseLogFile(QLineEdit* edit, std::string& path);
    static void knobTurned(const AddressKnob* knob, SegmentDisplay* display, std::int32_t& address);
    static void knobClicked(const AddressKnob* knob, SegmentDisplay* display, std::int32_t address);
    static void showAddress(AddressKnob* knob, SegmentDisplay* display, std::int32_t address);
};
