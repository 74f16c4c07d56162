#include "app/dispatch.h"

#include "level/level_decode.h"
#include "link/heatspan_telegram.h"
#include "link/tidespan_telegram.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"

void DispatchTelegram(const Telegram& telegram) {
    const std::int32_t address = telegram[0];
    const std::uint8_t type = telegram[1];
    if (address == settings.TERM_ADR && type == kTypeTemperature0)
        ReceiveTemperatureTelegram0(telegram);
    if (address == settings.TERM_ADR && type == kTypeTemperature1)
        ReceiveTemperatureTelegram1(telegram);
    if (address == settings.TERM_ADR && type == kTypeStatus)
        ReceiveStatusTelegram(telegram);
    if (address == settings.LEV_ADR && type == kTypeLevel)
        ReceiveLevelTelegram(telegram);
}
