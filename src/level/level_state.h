#pragma once

#include "chart/record_store.h"
#include "platform/seam.h"

class LevelDisplay;

// The program-wide state of the level subsystem, on the GUI thread.

// The live level values of the last level telegram, 0 at start and never reset while the
// program runs. Written by the decoder, read by the level window's recording and the level
// data logger.
extern double levelPercent;     // fill percentage, whole percent (0..255)
extern double levelHeightCm;    // fill height in whole centimetres
extern double levelDistanceRaw; // distance in tenths of a centimetre, whatever the firmware
extern double levelHeightRaw;   // fill height in tenths of a centimetre, whatever the firmware

// The TideSpan window's record store of LevelLog lines; its switch is btRecord.
extern RecordStore levelRecords;

// Where the level decoder shows what it decodes: nothing until the level window installs
// itself.
extern Seam<LevelDisplay> levelDisplay;

// Live values and the record store back to their start (tests; the program starts so).
void ResetLevelState();
