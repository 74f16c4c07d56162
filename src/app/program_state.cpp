#include "app/program_state.h"

#include "alarm/check_alarms.h"
#include "app/filelog.h"
#include "app/monidesk.h"
#include "level/level_state.h"
#include "link/link_state.h"
#include "net/network_settings_store.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "temperature/temperature_state.h"

void ResetProgramState() {
    ErrorReport::Reset();
    ResetSettings();
    ResetLinkState();
    ResetAlarmState();
    ResetNetworkSettings();
    mqttOverride.reset();
    ResetTemperatureState();
    ResetLevelState();
    ResetLoggerState();
}
