#include "link/tidespan_telegram.h"
#include "link_fixtures.h"
#include "link_test_util.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class SerialLink : public FakePortTest {
protected:
    // Opens the port on an empty line and forgets what that took.
    void openQuietly() {
        PollSerialReceiver(holder.get());
        ASSERT_TRUE(comOpen);
        port->log.clear();
    }
};

TEST_F(SerialLink, NoComPortChosenNeverOpensButBlinks) {
    settings.GL_COM = 0;
    for (int tick = 0; tick < 4; ++tick)
        PollSerialReceiver(holder.get());
    EXPECT_EQ(indicators.scanCom, 4);
    EXPECT_TRUE(port->log.isEmpty());
    EXPECT_FALSE(comOpen);
}

TEST_F(SerialLink, AbsentPortIsTriedEveryTickUntilItAppears) {
    FakeDialogs dialogs;
    port->present = false;
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(tick());
    EXPECT_EQ(port->logged("open COM3"), 3);
    EXPECT_FALSE(comOpen);
    EXPECT_TRUE(dialogs.errors.isEmpty());

    port->present = true;
    port->log.clear();
    port->input = SealedBytes(17, 0x31); // waiting before the opening: purged
    port->incoming = SealedBytes(17, 0x30);
    PollSerialReceiver(holder.get());
    EXPECT_TRUE(comOpen);
    EXPECT_EQ(port->log, (QStringList{"8N1", "open COM3", "timeout 200", "dtr on", "rts off",
                                      "purge", "read 12", "dtr on"}));
    EXPECT_EQ(okCount, 1); // read in the tick that opened the port
    EXPECT_EQ(tempTelegramCount, 1);
    EXPECT_EQ(port->baud, 19200);
}

TEST_F(SerialLink, LegacyFirmwareOpensAt4800AndKeepsTheOpeningBaud) {
    settings.CHK_V264 = true;
    settings.GL_COM = 1;
    openQuietly();
    EXPECT_EQ(port->name, QStringLiteral("COM1"));
    EXPECT_EQ(port->baud, 4800);
    // Later changes in the setup do not reopen the port.
    settings.CHK_V264 = false;
    settings.GL_COM = 4;
    PollSerialReceiver(holder.get());
    EXPECT_EQ(port->name, QStringLiteral("COM1"));
    EXPECT_EQ(port->baud, 4800);
    EXPECT_EQ(port->logged("open COM4"), 0);
}

struct LineCase {
    const char* what;
    bool legacy;
    QByteArray waiting;
    int ok, crc, level, reads, purges;
};

// Payload bytes 2..9 = 0x21, 0x31, ..., 0x91 (byte 9 of a legacy frame carries 0x91 too).
QByteArray legacyFrame(std::uint8_t b0, std::uint8_t b1, bool goodCheck) {
    LegacyFrame frame = LegacyLevelFrame({0x3121, 0x5141, 0x7161, 0x81}, b0, b1);
    frame[9] = 0x91;
    frame[10] ^= 0x91; // byte 9 is not part of the payload, but of the check
    if (!goodCheck)
        frame[10] ^= 0x40;
    return QByteArray(reinterpret_cast<const char*>(frame.data()), kLegacyFrameSize);
}

TEST_F(SerialLink, ReadsOnlyWhenExactlyOneFrameWaits) {
    const QByteArray good = SealedBytes(0, 0x10, {1, 2, 3, 4, 5, 6, 7, 8});
    const LineCase cases[] = {
        {"12 good", false, good, 1, 0, 1, 1, 0},
        {"12 bad CRC", false, BrokenBytes(0, 0x10), 0, 1, 0, 1, 1},
        {"11 waiting", false, good.left(11), 0, 0, 0, 0, 0},
        {"5 stray + telegram", false, QByteArray(5, '\x7E') + good, 0, 0, 0, 0, 1},
        {"two telegrams", false, good + good, 0, 0, 0, 0, 1},
        {"legacy good", true, legacyFrame(0x02, 0x10, true), 1, 0, 1, 1, 0},
        {"legacy any bytes 0 and 1", true, legacyFrame(0xFF, 0xAB, true), 1, 0, 1, 1, 0},
        {"legacy bad XOR", true, legacyFrame(0x02, 0x10, false), 0, 1, 0, 1, 1},
        {"legacy 10 waiting", true, legacyFrame(0, 0, true).left(10), 0, 0, 0, 0, 0},
        {"legacy 12 waiting", true, good, 0, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restartLinks();
        indicators.dataStream = 0;
        settings.CHK_V264 = c.legacy;
        comOpen = false;
        port->close();
        openQuietly();
        port->input = c.waiting;
        PollSerialReceiver(holder.get());
        EXPECT_EQ(okCount, c.ok);
        EXPECT_EQ(crcErrorCount, c.crc);
        EXPECT_EQ(levelTelegramCount, c.level);
        const int reads = port->logged("read 12") + port->logged("read 11");
        EXPECT_EQ(reads, c.reads);
        EXPECT_EQ(indicators.dataStream, c.reads);
        EXPECT_EQ(port->logged("dtr on"), c.reads); // DTR is set after every read
        EXPECT_EQ(port->logged("purge"), c.purges);
        const bool leftAlone = c.reads == 0 && c.purges == 0;
        EXPECT_EQ(port->input.size(), leftAlone ? c.waiting.size() : 0);
    }
}

TEST_F(SerialLink, TelegramSplitAcrossTicksIsReadWhole) {
    openQuietly();
    const QByteArray telegram = SealedBytes(17, 0x31, {0xD7, 0x00});
    port->input = telegram.left(7);
    PollSerialReceiver(holder.get());
    EXPECT_EQ(okCount, 0);
    port->input += telegram.mid(7);
    PollSerialReceiver(holder.get());
    EXPECT_EQ(okCount, 1);
    EXPECT_EQ(tempTelegramCount, 1);
}

TEST_F(SerialLink, LegacyFrameBecomesALevelTelegramOfLevAdr) {
    settings.CHK_V264 = true;
    settings.LEV_ADR = 7;
    openQuietly();
    rxTelegram[10] = 0xAA;
    rxTelegram[11] = 0xBB;
    port->input = legacyFrame(0x55, 0x66, true);
    PollSerialReceiver(holder.get());
    EXPECT_EQ(levelTelegramCount, 1);
    const Telegram expected{7, 0x10, 0x21, 0x31, 0x41, 0x51, 0x61, 0x71, 0x81, 0x91, 0xAA, 0xBB};
    EXPECT_EQ(rxTelegram, expected);

    // An address beyond one byte: the frame passes its check but reaches no decoder.
    settings.LEV_ADR = 300;
    port->input = legacyFrame(0x55, 0x66, true);
    PollSerialReceiver(holder.get());
    EXPECT_EQ(okCount, 2);
    EXPECT_EQ(levelTelegramCount, 1);
    EXPECT_EQ(rxTelegram[0], 300 & 0xFF);
}

TEST_F(SerialLink, ConfigurationErrorClosesQuietlyAndIsRetried) {
    for (const char* step : {"dtr", "rts", "purge"}) {
        SCOPED_TRACE(step);
        comOpen = false;
        port->close();
        port->log.clear();
        port->failOn = QString::fromLatin1(step);
        EXPECT_NO_THROW(PollSerialReceiver(holder.get()));
        EXPECT_FALSE(comOpen);
        EXPECT_FALSE(port->isOpen); // or the retry would find it busy
        port->failOn.clear();
        PollSerialReceiver(holder.get());
        EXPECT_TRUE(comOpen);
    }
}

TEST_F(SerialLink, ErrorOfAnOpenPortReachesTheReportOnce) {
    FakeDialogs dialogs;
    ErrorReport::Reset();
    openQuietly();
    port->failOn = QStringLiteral("waiting");
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(tick());
    EXPECT_EQ(dialogs.errors, QStringList{"Fehler an COM3 (waiting)"});
    EXPECT_TRUE(comOpen); // the same open port is polled again
    EXPECT_EQ(port->logged("close"), 0);

    port->failOn = QStringLiteral("read");
    port->input = SealedBytes(17, 0x30);
    EXPECT_THROW(PollSerialReceiver(holder.get()), AppError);
    EXPECT_EQ(okCount, 0);
    ErrorReport::Reset();
}

TEST_F(SerialLink, VanishedDeviceIsReportedOnceClosedAndTakenAgain) {
    FakeDialogs dialogs;
    ErrorReport::Reset();
    openQuietly();
    port->gone = true;
    port->present = false;
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_FALSE(comOpen);
    EXPECT_EQ(port->logged("close"), 1);
    EXPECT_EQ(port->logged("open COM3"), 4); // the ordinary opening, quietly failing

    port->gone = false;
    port->present = true;
    port->incoming = SealedBytes(17, 0x30);
    EXPECT_TRUE(tick());
    EXPECT_TRUE(comOpen);
    EXPECT_EQ(okCount, 1);
    ErrorReport::Reset();
}

TEST_F(SerialLink, OpenPortFollowsItsNameTwiceASecond) {
    FakeDialogs dialogs;
    ErrorReport::Reset();
    FakeClock clock(QDateTime(QDate(2026, 3, 2), QTime(8, 0)));
    openQuietly();
    port->nameMoved = true; // the link is pointed at another adapter
    clock.time = clock.time.addMSecs(400);
    EXPECT_TRUE(tick());
    EXPECT_EQ(port->nameChecks, 0);
    clock.time = clock.time.addMSecs(200);
    port->incoming = SealedBytes(17, 0x30);
    EXPECT_TRUE(tick()); // closed, opened on what the name means now, read
    EXPECT_EQ(port->nameChecks, 1);
    EXPECT_EQ(port->log, (QStringList{"close", "8N1", "open COM3", "timeout 200", "dtr on",
                                      "rts off", "purge", "read 12", "dtr on"}));
    EXPECT_EQ(okCount, 1);

    port->nameMoved = false;
    port->nameGone = true; // the link now leads nowhere
    clock.time = clock.time.addMSecs(499);
    EXPECT_TRUE(tick());
    clock.time = clock.time.addMSecs(1);
    port->present = false;
    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_FALSE(comOpen);
    EXPECT_EQ(port->nameChecks, 2);
    EXPECT_EQ(dialogs.errors, QStringList{"COM3 ist nicht mehr verfügbar"}); // once
    ErrorReport::Reset();
}

TEST(PortNames, ComNamesResolveToLinksOrSerialDevices) {
    const QString folder = DosDevicesFolder();
    ASSERT_TRUE(folder.contains(QDir::homePath())); // tests run in a scratch home
    QDir(folder).removeRecursively();
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM3")), QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(ResolvePortName(QStringLiteral("/dev/pts/4")), QStringLiteral("/dev/pts/4"));

    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/9"), folder + QStringLiteral("/com3")));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM3")), QStringLiteral("/dev/pts/9"));
    EXPECT_EQ(ResolvePortName(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    QDir(folder).removeRecursively();
}

TEST(PortNames, OnceLinkedAComNameNeverMeansTheBuiltInPort) {
    const QString folder = DosDevicesFolder();
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString link = folder + QStringLiteral("/com2");
    PortNameResolver names;
    EXPECT_EQ(names.device(QStringLiteral("COM2")), QStringLiteral("/dev/ttyS1"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/98"), link)); // dangling: still the link
    EXPECT_EQ(names.device(QStringLiteral("COM2")), QStringLiteral("/dev/pts/98"));
    ASSERT_TRUE(QFile::remove(link));
    EXPECT_EQ(names.device(QStringLiteral("COM2")), link); // removed: leads nowhere
    EXPECT_EQ(names.device(QStringLiteral("COM1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PortNameResolver().device(QStringLiteral("COM2")),
              QStringLiteral("/dev/ttyS1")); // a run that never saw it
    QDir(folder).removeRecursively();
}

} // namespace
