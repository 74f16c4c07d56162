#pragma once

#include "chart/record_store.h"
#include "platform/consumer_list.h"
#include "temperature/temperature_reading.h"

#include <array>

// The program-wide state of the temperature subsystem, on the GUI thread.

// The eight current temperatures in degrees Celsius, channel 1 at index 0. Zero at start;
// every reading overwrites its channels, values at or above the no-value limit included.
// Read by the recording and the data logger.
inline constexpr int kTempChannels = 8;
extern std::array<double, kTempChannels> liveTemperatures;

// The HeatSpan window's record store of TermoLog lines; its switch is AUFNAHME.
extern RecordStore tempRecords;

// The consumers of the HeatSpan readings, attached where the program creates its windows;
// none until then.
extern ConsumerList<TemperatureReading> temperatureReadings;
extern ConsumerList<StatusReading> statusReadings;

// The live-values consumer: the reading's channels into liveTemperatures.
void StoreLiveTemperatures(const TemperatureReading& reading);

// Live values, the record store and the consumers back to their start (tests; the program
// starts so).
void ResetTemperatureState();
