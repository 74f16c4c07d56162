#pragma once

#include <cstdint>
#include <functional>

struct Settings;

// Whether the status byte of a status telegram asks for the temperature window: alarm
// (0x08) with ck_al_led, sensor error (0x04) with ck_al_sf, output 1 (0x20) with
// ck_al_out1, output 2 (0x10) with ck_al_out2. ck_al_buz acts on nothing.
bool AlarmShowsTemperatureWindow(std::uint8_t status, const Settings& options);

// Judges the status byte in rxTelegram against the settings and, when any enabled
// option matches, shows the temperature window once and brings it to the front.
void CheckAlarms();

// Replaces what "show the temperature window" does (tests count it); an empty function
// puts back ShowWindow(fmTermo).
void SetAlarmWindowShower(std::function<void()> shower);
