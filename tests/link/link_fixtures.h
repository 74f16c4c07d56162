#pragma once

#include "app/program_state.h"
#include "link/link_notice.h"
#include "link/serial_com.h"
#include "link/usb_com.h"
#include "link_fakes.h"
#include "platform/error_report.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

// Collects the links' notices while it lives.
struct NoticeCollector {
    NoticeCollector() {
        SetLinkNoticeHook([this](const QString& text) { texts << text; });
    }
    ~NoticeCollector() { SetLinkNoticeHook({}); }
    QStringList texts;
};

// Every link test starts and ends on a fresh program state: HeatSpan at address 17,
// TideSpan at 0, COM 3 chosen, both links closed and the program's own USB library back.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        settings.TERM_ADR = 17;
        settings.LEV_ADR = 0;
        settings.GL_COM = 3;
        comOpen = false;
        usbOpen = false;
    }
    void TearDown() override {
        holder.reset();
        usbXpressSeam.install(nullptr);
        usbOpen = false;
        ResetProgramState();
    }

    FakeIndicators indicators;
    std::unique_ptr<TfmSerial> holder; // the serial link's port
};

// The serial link on a fake port.
class FakePortTest : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        auto fake = std::make_unique<FakeSerialPort>();
        port = fake.get();
        holder = std::make_unique<TfmSerial>(nullptr, std::move(fake));
    }
    // The serial link's part of a poll tick; false when it raised an error.
    bool tick() {
        return ErrorReport::RunTick([this] { PollSerialReceiver(holder.get()); });
    }

    FakeSerialPort* port = nullptr;
};
