#pragma once

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;

// The setup window. The channel names are edited here and taken over when the window
// closes; the other settings' controls join it with the loggers and the data port.
class TfmSetup : public QWidget {
    Q_OBJECT
public:
    explicit TfmSetup(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;   // "HeatSpan SETUP"
    QGroupBox* GroupBox2 = nullptr;   // "Kanalbezeichnung"
    std::array<QLabel*, 8> Label{};   // Label1 ... Label8
    std::array<QLineEdit*, 8> Edit{}; // Edit1 ... Edit8: names of channels 1 to 8

    // Fills the controls from the settings.
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
