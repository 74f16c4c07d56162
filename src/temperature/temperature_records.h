#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// The temperature record store: TermoLog lines (8-bit file text, no line end), filled by
// recording or by opening a chart file, written out by saving. Lines at and above
// tempRecordCount are stale and never read.
inline constexpr std::int32_t kTempRecordCapacity = 360001;

extern std::vector<QByteArray> tempRecords; // kTempRecordCapacity slots
extern std::int32_t tempRecordCount;
extern bool tempRecording;

// Empties the store and switches recording off (tests).
void ResetTempRecords();
