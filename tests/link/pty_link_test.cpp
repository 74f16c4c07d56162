// End to end through real pseudo-terminals, driven by the transmitter simulator's code:
// the bytes cross the kernel's terminal layer and QSerialPort as from a real receiver.
#include "bridge_tree.h"
#include "link/cp210x_bridges.h"
#include "link/sim_stream.h"
#include "link_test_util.h"
#include "pty_fixture.h"

#include <gtest/gtest.h>

namespace {

class PtyLink : public PtyTest {};

TEST_F(PtyLink, SimulatorStreamReachesTheCounters) {
    ScriptedUsbXpress usb; // no USB receiver
    PtyLine line;
    QString error;
    ASSERT_TRUE(line.open(&error)) << error.toStdString();
    ASSERT_TRUE(LinkComPort(3, line.path(), &error)) << error.toStdString();
    tick();
    ASSERT_TRUE(comOpen);

    TelegramStream stream;
    for (int i = 0; i < 8; ++i) { // two rounds of HeatSpan 0, 1, 2 and TideSpan
        send(line, stream.nextFrame(i));
        tick();
    }
    EXPECT_EQ(okCount, 8);
    EXPECT_EQ(tempTelegramCount, 6);
    EXPECT_EQ(levelTelegramCount, 2);

    send(line, BrokenBytes(17, 0x30));
    tick();
    send(line, stream.nextFrame(8) + stream.nextFrame(9)); // a burst
    tick();
    EXPECT_EQ(crcErrorCount, 1);
    EXPECT_EQ(okCount, 8);
    EXPECT_EQ(line.pending(), 0); // both were cleared from the line
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(PtyLink, ClosedTerminalIsReportedOnceAndTakenAgain) {
    ScriptedUsbXpress usb;
    auto line = std::make_unique<PtyLine>();
    ASSERT_TRUE(line->open());
    ASSERT_TRUE(LinkComPort(3, line->path()));
    tick();
    ASSERT_TRUE(comOpen);

    line->close(); // the far end goes away under the open port
    for (int i = 0; i < 5; ++i)
        tick();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("COM3 ist nicht mehr verfügbar")))
        << dialogs.errors[0].toStdString();
    EXPECT_FALSE(comOpen);

    auto again = std::make_unique<PtyLine>();
    ASSERT_TRUE(again->open());
    ASSERT_TRUE(LinkComPort(3, again->path()));
    tick();
    ASSERT_TRUE(comOpen);
    send(*again, SealedBytes(0, 0x10, {1, 2, 3, 4, 5, 6, 7, 8}));
    tick();
    EXPECT_EQ(levelTelegramCount, 1);
    EXPECT_EQ(dialogs.errors.size(), 1);
}

TEST(QtSerialPortOnAPty, AFloodBetweenTwoTicksIsHeldToAFewFrames) {
    PtyLine line;
    ASSERT_TRUE(line.open());
    const auto port = MakeQtSerialPort();
    port->setPortName(line.path());
    ASSERT_TRUE(port->open());
    const QByteArray chunk(1024, 'x');
    int waiting = 0;
    for (int i = 0; i < 256; ++i) { // a quarter of a megabyte, or what the line takes
        line.send(chunk);
        waiting = port->bytesWaiting();
    }
    EXPECT_GT(waiting, kTelegramSize); // more than a frame: the link throws it all away
    EXPECT_LE(waiting, kSerialReadBufferBytes);
    port->purge();
    EXPECT_EQ(port->bytesWaiting(), 0);
    port->close();
}

TEST(Cp210xBridges, ListsTheDriversTtysInPortOrder) {
    FakeBridgeTree tree;
    tree.plug(QStringLiteral("ttyUSB10"), QStringLiteral("cp210x"), QStringLiteral("B"),
              QStringLiteral("/dev/null"));
    tree.plug(QStringLiteral("ttyUSB2"), QStringLiteral("cp210x"), QStringLiteral("A"),
              QStringLiteral("/dev/null"));
    tree.plug(QStringLiteral("ttyUSB0"), QStringLiteral("ftdi_sio"), QStringLiteral("F"),
              QStringLiteral("/dev/null"));
    Cp210xBridges bridges(tree.sys(), tree.dev());
    EXPECT_EQ(bridges.deviceNames(), (QStringList{"ttyUSB2", "ttyUSB10"}));
    std::uint32_t count = 0;
    bridges.SI_GetNumDevices(&count);
    EXPECT_EQ(count, 2u);
    char product[kProductStringSize];
    ASSERT_EQ(bridges.SI_GetProductString(0, product, SI_RETURN_DESCRIPTION), SI_SUCCESS);
    EXPECT_STREQ(product, "A");
    EXPECT_NE(bridges.SI_GetProductString(2, product, SI_RETURN_DESCRIPTION), SI_SUCCESS);
}

TEST_F(PtyLink, Cp210xBridgeUnpluggedAndBack) {
    FakeBridgeTree tree;
    const QString tty = QStringLiteral("ttyUSB0"), driver = QStringLiteral("cp210x");
    Cp210xBridges bridges(tree.sys(), tree.dev());
    const ScopedInstall<UsbXpress> installed(usbXpressSeam, bridges);
    settings.GL_COM = 0;

    auto line = std::make_unique<PtyLine>();
    ASSERT_TRUE(line->open());
    tree.plug(tty, driver, QStringLiteral("CP2102 USB to UART Bridge Controller"), line->path());
    tick();
    ASSERT_TRUE(usbOpen);
    EXPECT_EQ(indicators.deviceName,
              QStringLiteral("NAME    : CP2102 USB to UART Bridge Controller"));
    send(*line, SealedBytes(17, 0x32));
    tick();
    EXPECT_EQ(tempTelegramCount, 1);

    line->close();
    tree.unplug(tty, driver);
    tick();
    EXPECT_FALSE(usbOpen);
    tick();
    EXPECT_FALSE(usbOpen);
    EXPECT_EQ(indicators.deviceCount, QStringLiteral("DEVICES : 1"));

    line = std::make_unique<PtyLine>();
    ASSERT_TRUE(line->open());
    tree.plug(tty, driver, QStringLiteral("Receiver again"), line->path());
    tick();
    ASSERT_TRUE(usbOpen);
    EXPECT_EQ(indicators.deviceName, QStringLiteral("NAME    : Receiver again"));
    send(*line, SealedBytes(17, 0x30));
    tick();
    EXPECT_EQ(tempTelegramCount, 2);
    EXPECT_TRUE(dialogs.errors.isEmpty()); // the USB link raises nothing
}

} // namespace
