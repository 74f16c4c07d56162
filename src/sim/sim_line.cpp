#include "sim/sim_line.h"

#include "link/serial_port.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

PtyLine::~PtyLine() {
    close();
}

bool PtyLine::open(QString* error) {
    close();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        if (error)
            *error = QStringLiteral("Pseudo-Terminal nicht verfügbar: ") + systemError();
        close();
        return false;
    }
    path_ = QString::fromLocal8Bit(::ptsname(master_));
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0) {
        if (error)
            *error = QStringLiteral("Pseudo-Terminal nicht verfügbar: ") + systemError();
        close();
        return false;
    }
    // Raw: no echo back to us, no line editing, every byte passed on as it is.
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    return true;
}

void PtyLine::close() {
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = master_ = -1;
}

bool PtyLine::send(const QByteArray& bytes) {
    if (master_ < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done,
                                  static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // the line is full: nobody reads it
        done += n;
    }
    return true;
}

int PtyLine::pending() const {
    int count = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &count) != 0)
        return 0;
    return count;
}

bool PtyLine::waitPending(int count, int timeoutMs) const {
    // The terminal hands bytes over from a kernel work queue, so they show up a moment
    // after the write.
    const QDeadlineTimer deadline(timeoutMs);
    while (pending() < count) {
        if (deadline.hasExpired())
            return false;
        pollfd fd{slave_, POLLIN, 0};
        ::poll(&fd, 1, 1);
    }
    return true;
}

namespace {

class SerialLine : public SimLine {
public:
    QSerialPort port;
    QString device;
    QString path() const override { return device; }
    bool send(const QByteArray& bytes) override {
        if (port.write(bytes) != bytes.size())
            return false;
        return port.waitForBytesWritten(1000);
    }
};

} // namespace

std::unique_ptr<SimLine> OpenSerialLine(const QString& device, int baud, QString* error) {
    auto line = std::make_unique<SerialLine>();
    line->device = device;
    line->port.setPortName(device);
    line->port.setBaudRate(baud);
    line->port.setDataBits(QSerialPort::Data8);
    line->port.setParity(QSerialPort::NoParity);
    line->port.setStopBits(QSerialPort::OneStop);
    line->port.setFlowControl(QSerialPort::NoFlowControl);
    if (!line->port.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1 lässt sich nicht öffnen: %2")
                         .arg(device, line->port.errorString());
        return nullptr;
    }
    return line;
}

bool LinkComPort(int n, const QString& target, QString* error) {
    const QString folder = DosDevicesFolder();
    const QString link = folder + QStringLiteral("/com%1").arg(n);
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Ordner %1 lässt sich nicht anlegen").arg(folder);
        return false;
    }
    // Made beside it, then renamed over the old one.
    const QString fresh = link + QStringLiteral(".new");
    QFile::remove(fresh);
    if (!QFile::link(target, fresh) ||
        ::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(link).constData()) != 0) {
        QFile::remove(fresh);
        if (error)
            *error = QStringLiteral("Verknüpfung %1 lässt sich nicht anlegen").arg(link);
        return false;
    }
    return true;
}

void LeaveComLinkDangling(int n, const QString& target) {
    const QFileInfo link(DosDevicesFolder() + QStringLiteral("/com%1").arg(n));
    if (link.isSymLink() && link.symLinkTarget() == target)
        LinkComPort(n, target + QStringLiteral(".stopped"));
}
