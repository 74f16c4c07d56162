#pragma once

#include "level/level_reading.h"
#include "link/tidespan_telegram.h"

#include <QString>

#include <cstdint>

// The read-out texts. `tenths` counts tenths of a centimetre, `whole` whole centimetres.
QString LevelVolumeText(std::uint16_t tensOfLitres);                  // "1230 Liter" for 123
QString LevelPercentText(std::uint8_t percent);                       // "57 %"
QString LevelDistanceText(std::uint16_t word, bool wholeCentimetres); // "DISTANZ:123.4 cm"
QString LevelHeightText(std::uint16_t word, bool wholeCentimetres);   // "PEGEL  :123.4 cm"

// The decoder of the TideSpan level telegram (type 0x10): a pure step from a telegram and
// the firmware mode (CHK_V300: whole centimetres) to a reading stamped `time`.
LevelReading DecodeLevelTelegram(const Telegram& telegram, bool wholeCentimetres,
                                 const QDateTime& time);

// What the dispatcher calls for each level telegram: counts it in levelTelegramCount,
// decodes it with CHK_V300 as it is now at the tick's time and hands the reading to the
// consumers of levelReadings.
void ReceiveLevelTelegram(const Telegram& telegram);
