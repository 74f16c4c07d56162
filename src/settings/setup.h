#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class RadioGroup;

// The setup window. Each control writes its setting the moment it changes, except the
// channel names, which are taken over when the window closes.
class TfmSetup : public QWidget {
    Q_OBJECT
public:
    explicit TfmSetup(QWidget* parent = nullptr);

    QGroupBox* GroupBox4 = nullptr;   // "TideSpan SETUP"
    QCheckBox* chk_v264 = nullptr;    // "Firmware < V2.64"
    QCheckBox* chk_v300 = nullptr;    // "Firmware V3"
    QGroupBox* GroupBox1 = nullptr;   // "HeatSpan SETUP"
    QGroupBox* GroupBox2 = nullptr;   // "Kanalbezeichnung"
    std::array<QLabel*, 8> Label{};   // Label1 ... Label8
    std::array<QLineEdit*, 8> Edit{}; // Edit1 ... Edit8: names of channels 1 to 8
    RadioGroup* rg_port = nullptr;    // "Daten Port": USB, COM 1 ... COM 4

    // Fills the controls from the settings.
    void FormShow();

    void chk_v264Click();
    void chk_v300Click();
    void rg_portClick();

Q_SIGNALS:
    // The window was closed: the program takes over the channel names.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
