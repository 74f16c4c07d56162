#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;

// The alarm window: five alarm options per transmitter, each written the moment its box is
// clicked. The TideSpan half is on the left, the HeatSpan half on the right.
class TfmAlarm : public QWidget {
    Q_OBJECT
public:
    explicit TfmAlarm(QWidget* parent = nullptr);

    QFrame* Panel3 = nullptr;       // TideSpan half
    QLabel* Panel4 = nullptr;       // heading "TideSpan"
    QGroupBox* GroupBox2 = nullptr; // "Aktivierung"
    QCheckBox* lev_al_led = nullptr;
    QCheckBox* lev_al_buz = nullptr;
    QCheckBox* lev_al_out1 = nullptr;
    QCheckBox* lev_al_out2 = nullptr;
    QCheckBox* lev_al_sf = nullptr;

    QFrame* Panel1 = nullptr;       // HeatSpan half
    QLabel* Panel2 = nullptr;       // heading "HeatSpan"
    QGroupBox* GroupBox1 = nullptr; // "Aktivierung"
    QCheckBox* al_led = nullptr;
    QCheckBox* al_buz = nullptr;
    QCheckBox* al_out1 = nullptr;
    QCheckBox* al_out2 = nullptr;
    QCheckBox* al_sf = nullptr;

    // Sets the ten boxes from their settings, the TideSpan half first.
    void FormShow();

    void lev_al_ledClick();
    void lev_al_buzClick();
    void lev_al_out1Click();
    void lev_al_out2Click();
    void lev_al_sfClick();
    void al_ledClick();
    void al_buzClick();
    void al_out1Click();
    void al_out2Click();
    void al_sfClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // One half: its panel, heading and "Aktivierung" group with five unticked boxes, from
    // top to bottom LED, buzzer, output 1, output 2, sensor error.
    std::array<QCheckBox*, 5> makeHalf(int left, const QString& heading, QFrame*& panel,
                                       QLabel*& title, QGroupBox*& group);
};
