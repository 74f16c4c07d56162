#pragma once

#include "chart/record_store.h"
#include "platform/seam.h"

#include <array>

class TemperatureDisplay;

// The program-wide state of the temperature subsystem, on the GUI thread.

// The eight current temperatures in degrees Celsius, channel 1 at index 0. Zero at start;
// every decode overwrites its channels, values at or above the no-value limit included.
// Read by the recording and the data logger.
inline constexpr int kTempChannels = 8;
extern std::array<double, kTempChannels> liveTemperatures;

// The HeatSpan window's record store of TermoLog lines; its switch is AUFNAHME.
extern RecordStore tempRecords;

// Where the decoders show what they decode: nothing until the temperature window installs
// itself.
extern Seam<TemperatureDisplay> temperatureDisplay;

// Live values and the record store back to their start (tests; the program starts so).
void ResetTemperatureState();
