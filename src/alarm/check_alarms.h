#pragma once

#include "platform/seam.h"

#include <cstdint>

struct Settings;

// What an alarm does: the temperature window is shown and brought to the front. The
// temperature window is installed as the response where the windows are created; until
// then an alarm shows nothing.
class AlarmResponse {
public:
    virtual ~AlarmResponse() = default;
    virtual void showTemperatureWindow() = 0;
};

extern Seam<AlarmResponse> alarmResponse;

// No alarm response installed, as at start (tests; the program's wiring installs the window).
void ResetAlarmState();

// Whether the status byte of a status telegram asks for the temperature window: alarm
// with ck_al_led, sensor error with ck_al_sf, output 1 with ck_al_out1, output 2 with
// ck_al_out2. ck_al_buz acts on nothing.
bool AlarmShowsTemperatureWindow(std::uint8_t status, const Settings& options);

// Judges the status byte of a status telegram against the settings and, when any enabled
// option matches, shows the temperature window once and brings it to the front. The program
// attaches it to the status readings, ahead of the temperature window.
void CheckAlarms(std::uint8_t status);
