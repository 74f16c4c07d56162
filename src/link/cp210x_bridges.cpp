#include "link/cp210x_bridges.h"

#include "link/serial_port.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <cstring>

Cp210xBridges::Cp210xBridges(QString sysRoot, QString devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

Cp210xBridges::~Cp210xBridges() {
    release();
}

QString Cp210xBridges::driverFolder() const {
    return sysRoot_ + QStringLiteral("/bus/usb-serial/drivers/cp210x");
}

QStringList Cp210xBridges::deviceNames() const {
    // The driver's folder lists the ttys bound to it: one directory read per count.
    const QDir driver(driverFolder());
    QStringList names = driver.entryList({QStringLiteral("tty*")},
                                         QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    // ttyUSB2 before ttyUSB10.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

QString Cp210xBridges::productDescription(const QString& ttyName) const {
    // The driver's entry is the tty's port device, below a USB interface below the USB
    // device that holds `product`.
    QDir dir(QFileInfo(driverFolder() + QLatin1Char('/') + ttyName).canonicalFilePath());
    for (int level = 0; level < 3 && !dir.path().isEmpty(); ++level) {
        QFile product(dir.filePath(QStringLiteral("product")));
        if (product.open(QIODevice::ReadOnly))
            return QString::fromUtf8(product.readAll()).trimmed();
        if (!dir.cdUp())
            break;
    }
    return QSerialPortInfo(devRoot_ + QLatin1Char('/') + ttyName).description();
}

bool Cp210xBridges::isCurrent(SI_HANDLE handle) const {
    return generation_ != 0 && reinterpret_cast<std::uintptr_t>(handle) == generation_ && port_ &&
           port_->isOpen();
}

void Cp210xBridges::release() {
    if (port_ && port_->isOpen())
        port_->close();
    port_.reset();
    openPath_.clear();
}

SI_STATUS Cp210xBridges::SI_GetNumDevices(std::uint32_t* numDevices) {
    *numDevices = static_cast<std::uint32_t>(deviceNames().size());
    return SI_SUCCESS;
}

SI_STATUS Cp210xBridges::SI_GetProductString(std::uint32_t deviceNum, char* buffer,
                                             std::uint32_t options) {
    const QStringList names = deviceNames();
    if (deviceNum >= static_cast<std::uint32_t>(names.size()))
        return SI_DEVICE_NOT_FOUND;
    QByteArray text;
    if (options == SI_RETURN_DESCRIPTION) {
        text = productDescription(names[int(deviceNum)]).toLocal8Bit();
    } else {
        text = QSerialPortInfo(devRoot_ + QLatin1Char('/') + names[int(deviceNum)])
                   .serialNumber()
                   .toLocal8Bit();
    }
    const auto n = std::min<qsizetype>(text.size(), kProductStringSize - 1);
    std::memcpy(buffer, text.constData(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return SI_SUCCESS;
}

SI_STATUS Cp210xBridges::SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) {
    // One device is served at a time: a handle given up by the link is released here.
    release();
    generation_ = 0;
    *handle = nullptr;
    const QStringList names = deviceNames();
    if (deviceNum >= static_cast<std::uint32_t>(names.size()))
        return SI_DEVICE_NOT_FOUND;
    openPath_ = devRoot_ + QLatin1Char('/') + names[int(deviceNum)];
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(openPath_);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        // Qt says PermissionError for a busy tty too; the file modes tell them apart.
        if (port_->error() == QSerialPort::PermissionError && DeviceRefusesUser(openPath_))
            denied_.refused(openPath_, DeniedDeviceText(openPath_, openPath_));
        release();
        return SI_DEVICE_NOT_FOUND;
    }
    denied_.opened();
    static std::uintptr_t opens = 0;
    generation_ = ++opens;
    *handle = reinterpret_cast<SI_HANDLE>(generation_);
    return SI_SUCCESS;
}

SI_STATUS Cp210xBridges::SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) {
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    return port_->setBaudRate(static_cast<qint32>(baudRate)) ? SI_SUCCESS : SI_INVALID_PARAMETER;
}

SI_STATUS Cp210xBridges::SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit,
                                         std::uint8_t flushReceive) {
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    bool ok = true;
    if (flushTransmit)
        ok = port_->clear(QSerialPort::Output) && ok;
    if (flushReceive)
        ok = port_->clear(QSerialPort::Input) && ok;
    return ok ? SI_SUCCESS : SI_DEVICE_IO_FAILED;
}

SI_STATUS Cp210xBridges::SI_SetTimeouts(std::uint32_t readTimeout, std::uint32_t) {
    readTimeoutMs_ = static_cast<int>(std::min<std::uint32_t>(readTimeout, 60000));
    return SI_SUCCESS;
}

SI_STATUS Cp210xBridges::SI_CheckRXQueue(SI_HANDLE handle, std::uint32_t* numBytesInQueue,
                                         std::uint32_t* queueStatus) {
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    port_->clearError();
    port_->waitForReadyRead(0);
    const auto error = port_->error();
    // An unplugged bridge takes its tty with it; a hung-up one reports nothing else.
    if (error == QSerialPort::ResourceError || TtyHungUp(*port_) || !QFile::exists(openPath_)) {
        release();
        generation_ = 0;
        return SI_DEVICE_IO_FAILED;
    }
    *numBytesInQueue = static_cast<std::uint32_t>(port_->bytesAvailable());
    *queueStatus = *numBytesInQueue ? 2 : 0;
    return SI_SUCCESS;
}

SI_STATUS Cp210xBridges::SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                                 std::uint32_t* bytesReturned, SiOverlapped*) {
    *bytesReturned = 0;
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    auto* out = static_cast<char*>(buffer);
    const QDeadlineTimer deadline(readTimeoutMs_);
    qint64 got = 0;
    while (got < bytesToRead) {
        const qint64 n = port_->read(out + got, bytesToRead - got);
        if (n < 0)
            return SI_READ_ERROR;
        got += n;
        if (got < bytesToRead &&
            !port_->waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
    }
    *bytesReturned = static_cast<std::uint32_t>(got);
    return got == bytesToRead ? SI_SUCCESS : 0x0D; // SI_READ_TIMED_OUT
}
