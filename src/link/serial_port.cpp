#include "link/serial_port.h"

#include "link/link_notice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/stat.h>
#endif

QString DosDevicesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Velcor_Monidesk/dosdevices");
}

QString ResolvePortName(const QString& name) {
    return PortNameResolver().device(name);
}

QString PortNameResolver::device(const QString& name) {
#ifdef Q_OS_WIN
    return name;
#else
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = comName.match(name);
    if (!match.hasMatch())
        return name;
    const int number = match.captured(1).toInt();
    const QFileInfo link(DosDevicesFolder() + QStringLiteral("/com%1").arg(number));
    if (link.isSymLink()) {
        linked_.insert(number);
        return link.symLinkTarget();
    }
    // Linked before, removed since: the link's own path, which leads nowhere until the
    // link is made again.
    if (linked_.count(number) != 0)
        return link.filePath();
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

bool TtyHungUp(QSerialPort& port) {
#ifdef Q_OS_UNIX
    if (!port.isOpen())
        return false;
    pollfd fd{static_cast<int>(port.handle()), POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    Q_UNUSED(port);
    return false;
#endif
}

namespace {

class QtSerialPort : public SerialPort {
public:
    QtSerialPort() {
        port_.setBaudRate(9600);
        setFormat8N1();
        port_.setFlowControl(QSerialPort::NoFlowControl);
        // A flood between two ticks is held to a few frames; the rest waits in the driver
        // and goes with the purge that more than one frame brings.
        port_.setReadBufferSize(kSerialReadBufferBytes);
    }

    void setPortName(const QString& name) override { name_ = name; }
    void setBaudRate(int baud) override { port_.setBaudRate(baud); }
    void setFormat8N1() override {
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
    }

    bool open() override {
        // Resolved anew at every opening: the link may lead elsewhere by now.
        const QString device = names_.device(name_);
        port_.setPortName(device);
        port_.clearError();
        if (port_.open(QIODevice::ReadWrite))
            return true;
        // Qt says PermissionError for a busy device too; the file modes tell them apart.
        if (port_.error() == QSerialPort::PermissionError && DeviceRefusesUser(device))
            throw SerialPortDenied(device, DeniedDeviceText(name_, device));
        return false;
    }

    void setReadTimeout(int milliseconds) override { readTimeoutMs_ = milliseconds; }

    void setDtr(bool on) override {
        port_.clearError();
        if (!port_.setDataTerminalReady(on) && !refusesModemLines())
            fail(QStringLiteral("Fehler beim Setzen von DTR an %1"));
        port_.clearError();
    }

    void setRts(bool on) override {
        port_.clearError();
        if (!port_.setRequestToSend(on) && !refusesModemLines())
            fail(QStringLiteral("Fehler beim Setzen von RTS an %1"));
        port_.clearError();
    }

    void purge() override {
        port_.clearError();
        if (!port_.clear(QSerialPort::AllDirections))
            fail(QStringLiteral("Fehler beim Löschen der Puffer von %1"));
    }

    int bytesWaiting() override {
        port_.clearError();
        // Polled: fetch what the driver holds, then count it.
        port_.waitForReadyRead(0);
        checkAfterWait(QStringLiteral("Fehler beim Abfragen von %1"));
        return static_cast<int>(port_.bytesAvailable());
    }

    void read(std::uint8_t* buffer, int count) override {
        const QDeadlineTimer deadline(readTimeoutMs_);
        int got = 0;
        while (got < count) {
            port_.clearError();
            const qint64 n = port_.read(reinterpret_cast<char*>(buffer) + got, count - got);
            if (n < 0)
                fail(QStringLiteral("Fehler beim Lesen von %1"));
            got += static_cast<int>(n);
            if (got == count)
                break;
            if (deadline.hasExpired())
                throw AppError(
                    QStringLiteral("Fehler beim Lesen von %1: Zeitüberschreitung").arg(name_));
            port_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
            checkAfterWait(QStringLiteral("Fehler beim Lesen von %1"));
        }
    }

    void close() override {
        if (port_.isOpen())
            port_.close();
    }

    bool nameMovedOn() override {
#ifdef Q_OS_UNIX
        if (!port_.isOpen())
            return false;
        // The file the name leads to now against the one that is open: a readlink and
        // two stats.
        const QString device = names_.device(name_);
        struct stat named {};
        struct stat opened {};
        if (::stat(QFile::encodeName(device).constData(), &named) != 0)
            gone(QStringLiteral("%1 fehlt").arg(device));
        if (::fstat(static_cast<int>(port_.handle()), &opened) != 0)
            return false;
        return named.st_dev != opened.st_dev || named.st_ino != opened.st_ino;
#else
        return false; // a Windows COM name always means the same port
#endif
    }

private:
    // A pseudo-terminal has no modem lines and refuses DTR and RTS: not a fault.
    bool refusesModemLines() const {
        return port_.error() == QSerialPort::UnsupportedOperationError ||
               port_.errorString().contains(QLatin1String("Inappropriate ioctl"));
    }

    // After a wait, a time-out is no error; a vanished device is one of its own kind.
    void checkAfterWait(const QString& what) {
        const auto error = port_.error();
        if (error == QSerialPort::ResourceError)
            gone(port_.errorString());
        if (TtyHungUp(port_))
            gone(QStringLiteral("Gerät getrennt"));
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
            fail(what);
    }

    [[noreturn]] void fail(const QString& what) const {
        if (port_.error() == QSerialPort::ResourceError)
            gone(port_.errorString());
        throw AppError(what.arg(name_) + QStringLiteral(": ") + port_.errorString());
    }

    [[noreturn]] void gone(const QString& reason) const {
        throw SerialPortGone(QStringLiteral("%1 ist nicht mehr verfügbar: %2").arg(name_, reason));
    }

    QSerialPort port_;
    QString name_ = QStringLiteral("COM1");
    PortNameResolver names_;
    int readTimeoutMs_ = 0;
};

} // namespace

std::unique_ptr<SerialPort> MakeQtSerialPort() {
    return std::make_unique<QtSerialPort>();
}
