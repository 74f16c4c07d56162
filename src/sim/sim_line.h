#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Where the transmitter simulator sends its bytes: a pseudo-terminal it creates (the
// program reads the other end, through a COM link), or a real serial device.
class SimLine {
public:
    virtual ~SimLine() = default;
    // The device the program should read ("/dev/pts/5", "/dev/ttyUSB0").
    virtual QString path() const = 0;
    // Sends the bytes; false when they could not be sent (nobody reading a full line).
    virtual bool send(const QByteArray& bytes) = 0;
};

// A pseudo-terminal in raw mode. The simulator keeps its own end of the terminal side
// open, so bytes written before the program opens it, or while it reopens, are kept
// rather than echoed or lost, and the program sees no hang-up until close().
class PtyLine : public SimLine {
public:
    PtyLine() = default;
    ~PtyLine() override;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Creates the pseudo-terminal; false (with `error` set) when the system refuses.
    bool open(QString* error = nullptr);
    // Closes both ends: a program that has the terminal open sees it hang up.
    void close();
    bool isOpen() const { return master_ >= 0; }

    QString path() const override { return path_; }
    bool send(const QByteArray& bytes) override;

    // Bytes written but not yet read by anyone.
    int pending() const;
    // Waits (at most `timeoutMs`) until `count` bytes are pending; for tests, which must
    // know the bytes arrived before the link looks.
    bool waitPending(int count, int timeoutMs) const;

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

// A real serial device, 8N1 at the given baud rate.
std::unique_ptr<SimLine> OpenSerialLine(const QString& device, int baud, QString* error);

// Makes "COM n" of the program read `target`: the link dosdevices/com<n> in the user's
// config folder, replacing one that is there in one step (the program never finds the
// name without a link). False (with `error` set) on failure.
bool LinkComPort(int n, const QString& target, QString* error = nullptr);

// When the simulator stops: the link, if it still leads to `target`, is pointed at a name
// no device ever takes ("/dev/pts/5.stopped"). It is never removed: leading nowhere, it
// tells the program that its port is gone, where without it "COM n" would mean the
// built-in port /dev/ttyS(n-1); and the number of the pseudo-terminal, which the next
// terminal window may well get, is not left in it for the program to open.
void LeaveComLinkDangling(int n, const QString& target);
