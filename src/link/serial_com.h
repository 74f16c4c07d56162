#pragma once

#include <QWidget>

// Hidden holder of the serial port component (never shown).
class TfmSerial : public QWidget {
    Q_OBJECT
public:
    explicit TfmSerial(QWidget* parent = nullptr);
    ~TfmSerial() override;
};

// The serial receiver link: called in every poll tick right after the USB link.
void PollSerialReceiver(TfmSerial* holder);
