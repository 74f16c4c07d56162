#pragma once

#include "link/CP2102_USB.h"
#include "link/link_notice.h"

#include <QString>
#include <QStringList>

#include <memory>

class QSerialPort;

// CP210x bridges served by the kernel's cp210x driver (Linux). The devices are the ttys
// bound to that driver (it serves many vendor IDs besides 0x10C4), device 0 being the
// first by port name; the product string is the USB product description. Open, baud
// rate, purge, queue count and read go through QSerialPort. A device that vanishes
// (unplugged, hung up) makes the queue check fail; one plugged in again is found by the
// next count. A tty this user may not open is noticed once (GiveLinkNotice), and again
// after it has been open; the link goes on trying it silently.
class Cp210xBridges : public UsbXpress {
public:
    // `sysRoot` and `devRoot` stand for /sys and /dev (tests point them at a scratch tree).
    explicit Cp210xBridges(QString sysRoot = QStringLiteral("/sys"),
                           QString devRoot = QStringLiteral("/dev"));
    ~Cp210xBridges() override;

    // The tty names bound to cp210x, in device order ("ttyUSB0", "ttyUSB1", ...).
    QStringList deviceNames() const;
    // The USB product description of a tty, or "" when none is found.
    QString productDescription(const QString& ttyName) const;

    SI_STATUS SI_GetNumDevices(std::uint32_t* numDevices) override;
    SI_STATUS SI_GetProductString(std::uint32_t deviceNum, char* buffer,
                                  std::uint32_t options) override;
    SI_STATUS SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) override;
    SI_STATUS SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) override;
    SI_STATUS SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override;
    SI_STATUS SI_SetTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) override;
    SI_STATUS SI_CheckRXQueue(SI_HANDLE handle, std::uint32_t* numBytesInQueue,
                              std::uint32_t* queueStatus) override;
    SI_STATUS SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned, SiOverlapped* overlapped) override;

private:
    QString driverFolder() const;
    bool isCurrent(SI_HANDLE handle) const;
    void release();

    QString sysRoot_;
    QString devRoot_;
    std::unique_ptr<QSerialPort> port_; // the one open device, if any
    QString openPath_;
    std::uintptr_t generation_ = 0; // handle of the open device; 0 = none
    int readTimeoutMs_ = 500;
    DeniedDeviceNotice denied_;
};
