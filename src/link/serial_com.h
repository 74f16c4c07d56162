#pragma once

#include "link/link_notice.h"
#include "link/link_state.h"
#include "link/serial_port.h"

#include <QDateTime>
#include <QWidget>

#include <memory>

// Hidden holder of the serial port component (never shown). Destroying it closes the
// port.
class TfmSerial : public QWidget {
    Q_OBJECT
public:
    // Holds a QSerialPort unless a test hands in its own port.
    explicit TfmSerial(QWidget* parent = nullptr, std::unique_ptr<SerialPort> port = {});
    ~TfmSerial() override;

    std::unique_ptr<SerialPort> ComPort1;
    // A port the user may not open is noticed once, and again after it has been open.
    DeniedDeviceNotice ComPortDenied;
    // When the open port's name was last followed (kComNameCheckMs).
    QDateTime ComNameChecked;
};

// The serial receiver link: called in every poll tick right after the USB link. Opens
// the port named by GL_COM when none is open, then reads one frame when exactly one
// whole frame is waiting. Errors of an open port raise AppError; when its device has
// gone, the port is closed first so that a later tick opens it anew. A port that refuses
// this user is noticed once (GiveLinkNotice) and tried again silently. While open, the
// port's name is followed every kComNameCheckMs: when it has come to mean another device
// the link moves to that one, when it leads nowhere the port is gone.
void PollSerialReceiver(TfmSerial* holder);

// How often an open port's name is compared with the device that is open.
inline constexpr int kComNameCheckMs = 500;

// Baud rates of the two formats on the COM port.
inline constexpr int kStandardBaud = 19200;
inline constexpr int kLegacyBaud = 4800;
