#include "app/dispatch.h"

#include "app/filelog.h"
#include "level/level_decode.h"
#include "link/heatspan_telegram.h"
#include "link/tidespan_telegram.h"
#include "platform/clock.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"

void DispatchTelegram() {
    const std::int32_t address = rxTelegram[0];
    const std::uint8_t type = rxTelegram[1];
    // The loggers learn of each reading once it is decoded into the live values they write.
    if (address == settings.TERM_ADR && type == kTypeTemperature0) {
        DecodeTemperatureTelegram0();
        NoteLoggedReading(LoggedReading::Temperatures1To4, Now());
    }
    if (address == settings.TERM_ADR && type == kTypeTemperature1) {
        DecodeTemperatureTelegram1();
        NoteLoggedReading(LoggedReading::Temperatures5To8, Now());
    }
    if (address == settings.TERM_ADR && type == kTypeStatus)
        DecodeStatusTelegram();
    if (address == settings.LEV_ADR && type == kTypeLevel) {
        DecodeLevelTelegram();
        NoteLoggedReading(LoggedReading::Level, Now());
    }
}
