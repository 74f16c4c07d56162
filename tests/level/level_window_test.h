#pragma once

#include "level/level_decode.h"
#include "level/level_state.h"
#include "level/tidespan.h"
#include "link/telegram.h"
#include "link/tidespan_telegram.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "support/fake_clock.h"
#include "support/german_test.h"

#include <gtest/gtest.h>

// The level telegrams' way as far as this layer goes, wired as the program wires it: the
// dispatcher hands a level telegram to ReceiveLevelTelegram, whose reading goes to the live
// level values and then to the window, if there is one.
inline void WireLevelPath(TfmLevel* window = nullptr) {
    SetTelegramDispatcher([](const Telegram& telegram) {
        if (telegram[0] == settings.LEV_ADR && telegram[1] == kTypeLevel)
            ReceiveLevelTelegram(telegram);
    });
    levelReadings.attach(StoreLiveLevel);
    if (window)
        levelReadings.attach(
            [window](const LevelReading& reading) { window->ShowLevelReading(reading); });
}

// A level telegram (byte 9, which nobody reads, as given) through the link's check and the
// dispatcher, as the poll tick hands it over.
inline void SendLevelTelegram(const LevelPayload& payload, std::uint8_t byte9 = 0) {
    settings.LEV_ADR = 0;
    rxTelegram = LevelTelegram(0, payload);
    rxTelegram[9] = byte9;
    SealTelegram(rxTelegram);
    AcceptTelegram(rxTelegram);
}

// The level window on a fresh level layer, German dates, the clock at 07.12.2026 10:15:30.
class LevelWindowTest
    : public GermanTest<ErrorReport::Reset, ResetSettings, ResetLinkState, ResetLevelState> {
protected:
    void SetUp() override {
        window = std::make_unique<TfmLevel>();
        WireLevelPath(window.get());
    }
    void TearDown() override {
        ResetLevelState(); // the consumers go before the window
        window.reset();
    }

    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 15, 30))};
    std::unique_ptr<TfmLevel> window;
};
