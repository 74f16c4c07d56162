#pragma once

#include "link/CP2102_USB.h"
#include "link/link_state.h"
#include "link/serial_port.h"
#include "support/qt_print.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <utility>

// Records what the links show; installs itself as linkIndicators for its lifetime.
class FakeIndicators : public LinkIndicators {
public:
    FakeIndicators() = default;
    FakeIndicators(const FakeIndicators&) = delete;
    FakeIndicators& operator=(const FakeIndicators&) = delete;

    int scanUsb = 0, scanCom = 0, dataStream = 0;
    QString deviceCount = QStringLiteral("DEVICES: 0");
    QString deviceName = QStringLiteral("NAME: NONE.");

    void toggleScanUsb() override { ++scanUsb; }
    void toggleScanCom() override { ++scanCom; }
    void toggleDataStream() override { ++dataStream; }
    void setDeviceCountText(const QString& text) override { deviceCount = text; }
    void setDeviceNameText(const QString& text) override { deviceName = text; }

private:
    const ScopedInstall<LinkIndicators> installed_{linkIndicators, *this};
};

// A scripted USBXpress library: one device (or none), a receive queue, calls counted
// and logged with their arguments. Installs itself for its lifetime.
class ScriptedUsbXpress : public UsbXpress {
public:
    ScriptedUsbXpress() = default;
    ScriptedUsbXpress(const ScriptedUsbXpress&) = delete;
    ScriptedUsbXpress& operator=(const ScriptedUsbXpress&) = delete;

    std::uint32_t devices = 0;
    std::string product = "CP2102 USB to UART Bridge Controller";
    QByteArray queue;
    QByteArray incoming;     // arrives just before the next queue check (after any flush)
    bool checkFails = false; // SI_CheckRXQueue on any handle fails
    SI_STATUS openStatus = SI_SUCCESS;
    QStringList log; // "Open 0", "SetBaudRate 19200", ...
    std::map<std::string, int> calls;
    const SiOverlapped* lastOverlapped = nullptr;
    int opens = 0;

    int count(const std::string& name) const {
        const auto it = calls.find(name);
        return it == calls.end() ? 0 : it->second;
    }

    SI_STATUS SI_GetNumDevices(std::uint32_t* n) override {
        note("GetNumDevices", "");
        *n = devices;
        return SI_SUCCESS;
    }
    SI_STATUS SI_GetProductString(std::uint32_t device, char* buffer,
                                  std::uint32_t options) override {
        note("GetProductString", QStringLiteral("%1 %2").arg(device).arg(options));
        if (devices == 0)
            return SI_DEVICE_NOT_FOUND;
        std::strncpy(buffer, product.c_str(), kProductStringSize - 1);
        buffer[kProductStringSize - 1] = '\0';
        return SI_SUCCESS;
    }
    SI_STATUS SI_Open(std::uint32_t device, SI_HANDLE* handle) override {
        note("Open", QString::number(device));
        *handle = reinterpret_cast<SI_HANDLE>(std::uintptr_t(++opens));
        return openStatus;
    }
    SI_STATUS SI_SetBaudRate(SI_HANDLE, std::uint32_t baud) override {
        note("SetBaudRate", QString::number(baud));
        return SI_SUCCESS;
    }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, std::uint8_t tx, std::uint8_t rx) override {
        note("FlushBuffers", QStringLiteral("%1 %2").arg(tx).arg(rx));
        if (rx)
            queue.clear();
        return SI_SUCCESS;
    }
    SI_STATUS SI_SetTimeouts(std::uint32_t read, std::uint32_t write) override {
        note("SetTimeouts", QStringLiteral("%1 %2").arg(read).arg(write));
        return SI_SUCCESS;
    }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, std::uint32_t* n, std::uint32_t*) override {
        note("CheckRXQueue", "");
        queue += std::exchange(incoming, {});
        if (checkFails || openStatus != SI_SUCCESS)
            return SI_DEVICE_IO_FAILED;
        *n = static_cast<std::uint32_t>(queue.size());
        return SI_SUCCESS;
    }
    SI_STATUS SI_Read(SI_HANDLE, void* buffer, std::uint32_t want, std::uint32_t* got,
                      SiOverlapped* overlapped) override {
        note("Read", QString::number(want));
        lastOverlapped = overlapped;
        const auto n = std::min<qsizetype>(want, queue.size());
        std::memcpy(buffer, queue.constData(), std::size_t(n));
        queue.remove(0, n);
        *got = std::uint32_t(n);
        return SI_SUCCESS;
    }

private:
    const ScopedInstall<UsbXpress> installed_{usbXpressSeam, *this};

    void note(const std::string& name, const QString& args) {
        ++calls[name];
        log << (args.isEmpty() ? QString::fromStdString(name)
                               : QString::fromStdString(name) + QLatin1Char(' ') + args);
    }
};

// A COM port in memory: present or not, bytes waiting, failures on request, and a log of
// what the link did to it.
class FakeSerialPort : public SerialPort {
public:
    bool present = true; // open() succeeds
    bool denied = false; // open() finds a device this user may not open
    bool isOpen = false;
    QByteArray input;       // bytes waiting
    QByteArray incoming;    // arrives just before the next count (after any purge)
    QString failOn;         // "dtr", "rts", "purge", "waiting", "read": raises AppError
    bool gone = false;      // the device vanished: waiting raises SerialPortGone
    bool nameMoved = false; // the name now means another device
    bool nameGone = false;  // the name now leads nowhere
    int nameChecks = 0;
    QString name; // as set by the link
    int baud = 9600;
    QStringList log;

    void setPortName(const QString& n) override { name = n; }
    void setBaudRate(int b) override { baud = b; }
    void setFormat8N1() override { log << QStringLiteral("8N1"); }
    bool open() override {
        log << QStringLiteral("open ") + name;
        if (isOpen) // as a real port: a second open of the same device fails
            return false;
        if (denied)
            throw SerialPortDenied(name, QStringLiteral("Keine Berechtigung für %1").arg(name));
        isOpen = present;
        return present;
    }
    void setReadTimeout(int ms) override { log << QStringLiteral("timeout %1").arg(ms); }
    void setDtr(bool on) override {
        raiseIf("dtr");
        log << (on ? QStringLiteral("dtr on") : QStringLiteral("dtr off"));
    }
    void setRts(bool on) override {
        raiseIf("rts");
        log << (on ? QStringLiteral("rts on") : QStringLiteral("rts off"));
    }
    void purge() override {
        raiseIf("purge");
        log << QStringLiteral("purge");
        input.clear();
    }
    int bytesWaiting() override {
        if (gone)
            throw SerialPortGone(QStringLiteral("%1 ist nicht mehr verfügbar").arg(name));
        raiseIf("waiting");
        input += std::exchange(incoming, {});
        return int(input.size());
    }
    void read(std::uint8_t* buffer, int n) override {
        raiseIf("read");
        log << QStringLiteral("read %1").arg(n);
        std::memcpy(buffer, input.constData(), std::size_t(std::min<qsizetype>(n, input.size())));
        input.remove(0, n);
    }
    void close() override {
        if (isOpen)
            log << QStringLiteral("close");
        isOpen = false;
    }

    bool nameMovedOn() override {
        ++nameChecks;
        if (nameGone)
            throw SerialPortGone(QStringLiteral("%1 ist nicht mehr verfügbar").arg(name));
        return nameMoved;
    }

    int logged(const QString& entry) const { return int(log.count(entry)); }

private:
    void raiseIf(const char* op) {
        if (failOn == QLatin1String(op))
            throw AppError(QStringLiteral("Fehler an %1 (%2)").arg(name, QLatin1String(op)));
    }
};
