#pragma once

// The layers a telegram passes on this station, fresh, and its decoders wired as the program
// wires them as far as the live values: what a test of the remote link reads back.
#include "net/network_settings_store.h"
#include "net/remote_link.h"

#include "level/level_decode.h"
#include "level/level_state.h"
#include "link/heatspan_telegram.h"
#include "link/link_state.h"
#include "link/telegram.h"
#include "link/tidespan_telegram.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"
#include "temperature/temperature_state.h"

inline void ResetStationLayers() {
    ErrorReport::Reset();
    ResetSettings();
    ResetLinkState();
    ResetTemperatureState();
    ResetLevelState();
    ResetNetworkSettings();
    ResetRemoteLinkState();
}

// The dispatcher and the live-values consumers (the windows and loggers are the program's).
inline void WireDecoders() {
    SetTelegramDispatcher([](const Telegram& telegram) {
        const std::int32_t address = telegram[0];
        if (address == settings.TERM_ADR && telegram[1] == kTypeTemperature0)
            ReceiveTemperatureTelegram0(telegram);
        if (address == settings.TERM_ADR && telegram[1] == kTypeTemperature1)
            ReceiveTemperatureTelegram1(telegram);
        if (address == settings.TERM_ADR && telegram[1] == kTypeStatus)
            ReceiveStatusTelegram(telegram);
        if (address == settings.LEV_ADR && telegram[1] == kTypeLevel)
            ReceiveLevelTelegram(telegram);
    });
    temperatureReadings.attach(StoreLiveTemperatures);
    levelReadings.attach(StoreLiveLevel);
}

// Fresh layers with the decoders wired, for a whole test.
inline void FreshDecodingStation() {
    ResetStationLayers();
    WireDecoders();
}
