#pragma once

#include "level/tidespan.h"
#include "link/telegram.h"
#include "link/tidespan_telegram.h"
#include "settings/settings.h"
#include "support/fake_clock.h"
#include "support/german_program_test.h"

#include <gtest/gtest.h>

// A level telegram (byte 9, which nobody reads, as given) through the link's check and the
// dispatcher, as the poll tick hands it over.
inline void SendLevelTelegram(const LevelPayload& payload, std::uint8_t byte9 = 0) {
    settings.LEV_ADR = 0;
    rxTelegram = LevelTelegram(0, payload);
    rxTelegram[9] = byte9;
    SealTelegram(rxTelegram);
    AcceptTelegram();
}

// The level window on a fresh program state, German dates, the clock at 07.12.2026 10:15:30.
class LevelWindowTest : public GermanProgramTest {
protected:
    void SetUp() override {
        GermanProgramTest::SetUp();
        window = std::make_unique<TfmLevel>();
    }
    void TearDown() override {
        window.reset();
        GermanProgramTest::TearDown();
    }

    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 15, 30))};
    std::unique_ptr<TfmLevel> window;
};
