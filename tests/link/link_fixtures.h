#pragma once

#include "link/link_notice.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "link/usb_com.h"
#include "link_fakes.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "support/fresh_state.h"

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

// Stands in for the program's dispatcher, which lives above the links: counts the telegrams
// it would hand to the HeatSpan decoders (TERM_ADR, types "0" to "2") and to the TideSpan
// decoder (LEV_ADR, type 0x10) in their counters.
inline void CountingDispatcher(const Telegram& telegram) {
    const std::int32_t address = telegram[0];
    if (address == settings.TERM_ADR && telegram[1] >= 0x30 && telegram[1] <= 0x32)
        CountUp(tempTelegramCount);
    if (address == settings.LEV_ADR && telegram[1] == 0x10)
        CountUp(levelTelegramCount);
}

// Every link test starts and ends on a fresh link layer: HeatSpan at address 17, TideSpan
// at 0, COM 3 chosen, both links closed, checked telegrams counted by CountingDispatcher
// and the program's own USB library back.
class LinkTest : public ::testing::Test,
                 protected FreshState<ErrorReport::Reset, ResetSettings, ResetLinkState> {
protected:
    void SetUp() override {
        settings.TERM_ADR = 17;
        settings.LEV_ADR = 0;
        settings.GL_COM = 3;
        SetTelegramDispatcher(CountingDispatcher);
    }
    void TearDown() override {
        holder.reset();
        usbOpen = false;
    }
    // Within one test: the buffer and the counters back to zero, both links closed.
    static void restartLinks() {
        rxTelegram.fill(0);
        okCount = crcErrorCount = tempTelegramCount = levelTelegramCount = 0;
        usbOpen = comOpen = false;
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
