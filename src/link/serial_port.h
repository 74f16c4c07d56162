#pragma once

#include "platform/app_error.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <set>

class QSerialPort;

// The operations the serial link needs of a COM port, and nothing more. Once the port is
// open, a failing operation raises AppError with a German text naming the port; opening
// itself reports failure through its result, except for a device the user may not open
// (SerialPortDenied).
class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual void setPortName(const QString& name) = 0; // "COM3"
    virtual void setBaudRate(int baud) = 0;
    virtual void setFormat8N1() = 0; // 8 data bits, no parity, one stop bit
    virtual bool open() = 0;         // false when the port cannot be opened
    virtual void setReadTimeout(int milliseconds) = 0;
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    virtual void purge() = 0; // clears the input and the output buffers at once
    virtual int bytesWaiting() = 0;
    // Reads exactly `count` bytes within the read time-out.
    virtual void read(std::uint8_t* buffer, int count) = 0;
    virtual void close() = 0;
    // While open: true when the port's name now stands for another device than the open
    // one (a link pointed elsewhere, an adapter plugged anew); raises SerialPortGone when
    // it stands for none (a link left dangling or removed). Cheap, but meant to be asked
    // about twice a second, not on every tick.
    virtual bool nameMovedOn() = 0;
};

// Raised when the device behind an open port has gone (unplugged adapter, hung-up or
// closed pseudo-terminal): the link closes the port and opens it afresh later.
class SerialPortGone : public AppError {
public:
    using AppError::AppError;
};

// Raised by open() when the device exists but its file modes let this user not open it
// (Unix; on Windows a refused port is one in use). The text names the device and the cure.
class SerialPortDenied : public AppError {
public:
    SerialPortDenied(const QString& device, const QString& text)
        : AppError(text), device_(device) {}
    QString device() const { return device_; }

private:
    QString device_;
};

// The device a port name stands for. On Windows "COMn" as it is; elsewhere the device
// linked at <config>/Velcor_Monidesk/dosdevices/comn when that link exists (even when it
// leads nowhere), else /dev/ttyS(n-1). Other names are returned unchanged.
QString ResolvePortName(const QString& name);

// Resolves port names as ResolvePortName does, and remembers every COM number it has
// found linked. The built-in port /dev/ttyS(n-1) stands in for "COMn" only where no link
// has ever been made for n: a link that is there, or that was seen earlier in this run
// and has been removed since, keeps the name to that link. A link that leads nowhere (a
// stopped simulator, an unplugged adapter) then means the port is gone, as it is for the
// user, and the built-in port is never read in its place.
class PortNameResolver {
public:
    QString device(const QString& name);

private:
    std::set<int> linked_;
};

// The folder of the COM links ("dosdevices") in the user's config folder.
QString DosDevicesFolder();

// True when the tty behind `port` has hung up (its other end closed or unplugged).
bool TtyHungUp(QSerialPort& port);

// A COM port on QSerialPort: starts as COM1, 9600 baud, 8N1, no flow control, DTR and RTS
// off. The bytes waiting are found with waitForReadyRead(0) and bytesAvailable().
std::unique_ptr<SerialPort> MakeQtSerialPort();

// What a COM port keeps of the bytes waiting: a few frames' worth.
inline constexpr int kSerialReadBufferBytes = 256;
