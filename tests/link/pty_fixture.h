#pragma once

#include "link/serial_port.h"
#include "link_fixtures.h"
#include "sim/sim_line.h"
#include "support/fake_dialogs.h"

#include <QDir>

// Both links on real pseudo-terminals (made by the transmitter simulator's line code),
// polled as the tick polls them; "COM n" links are removed after each test.
class PtyTest : public LinkTest {
protected:
    static constexpr int kArrivalMs = 5000; // bound on the kernel handing bytes over; never reached

    void SetUp() override {
        LinkTest::SetUp();
        holder = std::make_unique<TfmSerial>();
    }
    void TearDown() override {
        LinkTest::TearDown();
        QDir(DosDevicesFolder()).removeRecursively();
    }

    // A poll tick: USB, then COM.
    void tick() {
        ErrorReport::RunTick([this] {
            PollUsbReceiver();
            PollSerialReceiver(holder.get());
        });
    }
    // Sends bytes and waits until the terminal holds them, before the link looks.
    static void send(PtyLine& line, const QByteArray& bytes) {
        const int before = line.pending();
        ASSERT_TRUE(line.send(bytes));
        ASSERT_TRUE(line.waitPending(before + int(bytes.size()), kArrivalMs));
    }

    FakeDialogs dialogs;
};
