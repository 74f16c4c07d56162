#pragma once

#include "chart/record_store.h"
#include "level/level_reading.h"
#include "platform/consumer_list.h"

// The program-wide state of the level subsystem, on the GUI thread.

// The live level values of the last level reading, 0 at start and never reset while the
// program runs. Read by the level window's recording and the level data logger.
extern double levelPercent;     // fill percentage, whole percent (0..255)
extern double levelHeightCm;    // fill height in whole centimetres
extern double levelDistanceRaw; // distance in tenths of a centimetre, whatever the firmware
extern double levelHeightRaw;   // fill height in tenths of a centimetre, whatever the firmware

// The TideSpan window's record store of LevelLog lines; its switch is btRecord.
extern RecordStore levelRecords;

// The consumers of the level readings, attached where the program creates its windows;
// none until then.
extern ConsumerList<LevelReading> levelReadings;

// The live-values consumer: the reading into the four live level values.
void StoreLiveLevel(const LevelReading& reading);

// Live values, the record store and the consumers back to their start (tests; the program
// starts so).
void ResetLevelState();
