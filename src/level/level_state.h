#pragma once

#include "chart/record_store.h"

// The program-wide state of the level subsystem, on the GUI thread.

// The TideSpan window's record store of LevelLog lines; its switch is btRecord.
extern RecordStore levelRecords;

// The record store back to its start (tests; the program starts so).
void ResetLevelState();
