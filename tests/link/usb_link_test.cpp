#include "link/simulated_receiver.h"
#include "link_fixtures.h"
#include "link_test_util.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class UsbLink : public LinkTest {
protected:
    ScriptedUsbXpress fake; // installs itself
    ScriptedUsbXpress* usb = &fake;
};

TEST_F(UsbLink, WithoutDeviceAsksEveryTickAndKeepsLabels) {
    for (int tick = 0; tick < 3; ++tick)
        PollUsbReceiver();
    EXPECT_EQ(indicators.scanUsb, 3);
    EXPECT_EQ(usb->count("GetNumDevices"), 3);
    EXPECT_EQ(usb->count("GetProductString"), 3); // asked even with no device counted
    EXPECT_EQ(usb->count("Open"), 0);
    EXPECT_FALSE(usbOpen);
    EXPECT_EQ(indicators.deviceCount, QStringLiteral("DEVICES: 0"));
    EXPECT_EQ(indicators.deviceName, QStringLiteral("NAME: NONE."));
}

TEST_F(UsbLink, FirstTickOpensConfiguresAndReads) {
    usb->devices = 1;
    usb->queue = SealedBytes(17, 0x31); // queued before opening: flushed
    usb->incoming = SealedBytes(17, 0x30, {0xD7, 0x00});
    PollUsbReceiver();
    EXPECT_TRUE(usbOpen);
    EXPECT_EQ(indicators.deviceCount, QStringLiteral("DEVICES : 1"));
    EXPECT_EQ(indicators.deviceName,
              QStringLiteral("NAME    : CP2102 USB to UART Bridge Controller"));
    EXPECT_EQ(usb->log,
              (QStringList{"GetNumDevices", "GetProductString 0 1", "Open 0", "SetBaudRate 19200",
                           "FlushBuffers 1 1", "SetTimeouts 500 500", "CheckRXQueue", "Read 12"}));
    EXPECT_EQ(usb->lastOverlapped, &usbReadOverlapped);
    EXPECT_EQ(okCount, 1);
    EXPECT_EQ(tempTelegramCount, 1);
    EXPECT_EQ(indicators.dataStream, 1);

    // Open from now on: no more counting or opening.
    usb->log.clear();
    PollUsbReceiver();
    EXPECT_EQ(usb->log, QStringList{"CheckRXQueue"});
}

struct QueueCase {
    const char* what;
    QByteArray queued;
    int ok, crc, reads, flushes, dataStream, leftQueued;
};

TEST_F(UsbLink, ReadsOnlyWhenExactlyOneTelegramWaits) {
    const QByteArray good = SealedBytes(0, 0x10, {1, 2, 3, 4, 5, 6, 7, 8});
    const QueueCase cases[] = {
        {"12 good", good, 1, 0, 1, 0, 1, 0},
        {"12 bad CRC", BrokenBytes(0, 0x10), 0, 1, 1, 1, 1, 0},
        {"11 waiting", good.left(11), 0, 0, 0, 0, 0, 11},
        {"17 waiting", QByteArray(5, '\x55') + good, 0, 0, 1, 1, 0, 0},
        {"24 waiting", good + good, 0, 0, 1, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        restartLinks();
        indicators.dataStream = 0;
        usb->devices = 1;
        PollUsbReceiver(); // opens on an empty queue
        usb->calls.clear();
        usb->queue = c.queued;
        PollUsbReceiver();
        EXPECT_EQ(okCount, c.ok);
        EXPECT_EQ(crcErrorCount, c.crc);
        EXPECT_EQ(levelTelegramCount, c.ok);
        EXPECT_EQ(usb->count("Read"), c.reads);
        EXPECT_EQ(usb->count("FlushBuffers"), c.flushes);
        EXPECT_EQ(indicators.dataStream, c.dataStream);
        EXPECT_EQ(usb->queue.size(), c.leftQueued);
        EXPECT_EQ(usb->lastOverlapped, c.reads ? &usbReadOverlapped : usb->lastOverlapped);
    }
}

TEST_F(UsbLink, TelegramSplitAcrossTicksIsReadWhole) {
    usb->devices = 1;
    PollUsbReceiver();
    const QByteArray telegram = SealedBytes(17, 0x31);
    usb->queue = telegram.left(11);
    PollUsbReceiver();
    EXPECT_EQ(okCount, 0);
    usb->queue += telegram.right(1);
    PollUsbReceiver();
    EXPECT_EQ(okCount, 1);
    EXPECT_EQ(tempTelegramCount, 1);
}

TEST_F(UsbLink, LostDeviceIsOpenedAgainAndLabelsKeepTheLastOne) {
    usb->devices = 1;
    usb->product = "Receiver A";
    PollUsbReceiver();
    ASSERT_TRUE(usbOpen);

    // Unplugged: the queue check fails, and while it is away only counting goes on.
    usb->devices = 0;
    usb->checkFails = true;
    PollUsbReceiver();
    EXPECT_FALSE(usbOpen);
    usb->calls.clear();
    PollUsbReceiver();
    PollUsbReceiver();
    EXPECT_EQ(usb->count("GetNumDevices"), 2);
    EXPECT_EQ(usb->count("Open"), 0);
    EXPECT_EQ(indicators.deviceCount, QStringLiteral("DEVICES : 1"));
    EXPECT_EQ(indicators.deviceName, QStringLiteral("NAME    : Receiver A"));

    // Plugged in again (another one): found and opened without any user action.
    usb->devices = 2;
    usb->product = "Receiver B";
    usb->checkFails = false;
    usb->incoming = SealedBytes(17, 0x32);
    PollUsbReceiver();
    EXPECT_TRUE(usbOpen);
    EXPECT_EQ(indicators.deviceCount, QStringLiteral("DEVICES : 2"));
    EXPECT_EQ(indicators.deviceName, QStringLiteral("NAME    : Receiver B"));
    EXPECT_EQ(okCount, 1);
}

TEST_F(UsbLink, FailedOpenIsRetriedEveryTick) {
    usb->devices = 1;
    usb->openStatus = SI_DEVICE_NOT_FOUND; // its handle's queue check fails too
    for (int tick = 0; tick < 3; ++tick)
        PollUsbReceiver();
    EXPECT_EQ(usb->count("Open"), 3);
    EXPECT_FALSE(usbOpen);
}

// The simulated receiver driven by a stepped clock, as `monidesk --simulate` runs it.
class SimulatedUsb : public UsbLink {
protected:
    SimulatedReceiver* install(const StreamOptions& options = {}) {
        installed.reset();
        sim = std::make_unique<SimulatedReceiver>(options, [this] { return nowMs; });
        installed.emplace(usbXpressSeam, *sim);
        return sim.get();
    }
    void TearDown() override {
        installed.reset();
        UsbLink::TearDown();
    }
    std::unique_ptr<SimulatedReceiver> sim;
    std::optional<ScopedInstall<UsbXpress>> installed;
    // Runs `n` ticks 100 ms apart.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            nowMs += 100;
            PollUsbReceiver();
        }
    }
    std::int64_t nowMs = 0;
};

TEST_F(SimulatedUsb, DeliversBothTransmittersAtAFewTelegramsASecond) {
    install();
    ticks(100); // ten seconds
    EXPECT_EQ(indicators.deviceName, QStringLiteral("NAME    : Velcor USB Receiver (simulated)"));
    EXPECT_EQ(crcErrorCount, 0);
    EXPECT_GE(okCount, 35);
    EXPECT_LE(okCount, 41);
    EXPECT_EQ(okCount, tempTelegramCount + levelTelegramCount);
    EXPECT_NEAR(tempTelegramCount, 3 * levelTelegramCount, 3);
}

TEST_F(SimulatedUsb, CrcErrorsAndBurstsReachTheLinkAsSuch) {
    install({.crcErrorRatio = 1.0});
    ticks(20);
    EXPECT_EQ(okCount, 0);
    EXPECT_GE(crcErrorCount, 7);

    restartLinks();
    install({.burstRatio = 1.0});
    ticks(20);
    EXPECT_EQ(okCount + crcErrorCount, 0); // every burst is discarded
    EXPECT_GT(indicators.scanUsb, 0);
}

TEST_F(SimulatedUsb, UnplugAndReplug) {
    SimulatedReceiver* sim = install();
    ticks(10);
    const int before = okCount;
    EXPECT_GT(before, 0);
    sim->unplug();
    ticks(10);
    EXPECT_FALSE(usbOpen);
    EXPECT_EQ(okCount, before);
    EXPECT_EQ(indicators.deviceCount, QStringLiteral("DEVICES : 1"));
    sim->replug();
    ticks(10);
    EXPECT_TRUE(usbOpen);
    EXPECT_GT(okCount, before);
}

TEST_F(SimulatedUsb, QueueHoldsOneTelegramAtMostBesidesStrayBytes) {
    SimulatedReceiver* sim = install({.crcErrorRatio = 0.2, .strayRatio = 0.2});
    int most = 0;
    for (int i = 0; i < 300; ++i) {
        nowMs += 37; // a reader slower or faster than the sender
        most = std::max(most, sim->queued());
        if (i % 3 == 0)
            PollUsbReceiver();
    }
    EXPECT_LE(most, 12 + 11); // stray bytes, then a telegram behind them
    EXPECT_GT(okCount, 0);
    EXPECT_GT(crcErrorCount, 0);
}

} // namespace
