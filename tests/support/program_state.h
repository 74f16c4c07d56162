#pragma once

#include "app/error_report.h"
#include "link/telegram.h"
#include "settings/settings.h"
#include "temperature/temperature_decode.h"
#include "temperature/temperature_records.h"

// Puts the program-wide state back to its start: telegram buffer and counters, settings,
// live temperatures, the temperature record store and the error report.
inline void ResetProgramState() {
    ResetTelegramState();
    ResetSettings();
    liveTemperatures.fill(0.0);
    ResetTempRecords();
    ErrorReport::Reset();
}
