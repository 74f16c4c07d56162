#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A scratch /sys and /dev with CP210x bridges whose ttys are pseudo-terminals.
class FakeBridgeTree {
public:
    QString sys() const { return dir_.filePath(QStringLiteral("sys")); }
    QString dev() const { return dir_.filePath(QStringLiteral("dev")); }

    void plug(const QString& tty, const QString& driver, const QString& product,
              const QString& target) {
        const QString usbDevice = sys() + QStringLiteral("/devices/usb1/1-") + tty;
        const QString port = usbDevice + QStringLiteral("/1-1:1.0/") + tty;
        QDir().mkpath(port);
        writeFile(usbDevice + QStringLiteral("/product"), product + QLatin1Char('\n'));
        const QString drivers = sys() + QStringLiteral("/bus/usb-serial/drivers/") + driver;
        QDir().mkpath(drivers);
        QFile::link(port, drivers + QLatin1Char('/') + tty);
        QDir().mkpath(dev());
        QFile::link(target, dev() + QLatin1Char('/') + tty);
    }

    void unplug(const QString& tty, const QString& driver) {
        QFile::remove(sys() + QStringLiteral("/bus/usb-serial/drivers/") + driver +
                      QLatin1Char('/') + tty);
        QFile::remove(dev() + QLatin1Char('/') + tty);
    }

private:
    static void writeFile(const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    QTemporaryDir dir_;
};
