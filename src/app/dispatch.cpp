#include "app/dispatch.h"

#include "level/level_decode.h"
#include "link/heatspan_telegram.h"
#include "link/tidespan_telegram.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"

void DispatchTelegram() {
    const std::int32_t address = rxTelegram[0];
    const std::uint8_t type = rxTelegram[1];
    if (address == settings.TERM_ADR && type == kTypeTemperature0)
        DecodeTemperatureTelegram0();
    if (address == settings.TERM_ADR && type == kTypeTemperature1)
        DecodeTemperatureTelegram1();
    if (address == settings.TERM_ADR && type == kTypeStatus)
        DecodeStatusTelegram();
    if (address == settings.LEV_ADR && type == kTypeLevel)
        DecodeLevelTelegram();
}
