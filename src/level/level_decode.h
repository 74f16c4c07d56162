#pragma once

#include "link/tidespan_telegram.h"

#include <QString>

#include <cstdint>

// The two dot-matrix read-outs of the level window: volume and percentage (lcdLiter),
// distance and fill height (lcdHoehe).
enum class LevelReadOut { Volume, Height };

// Where the level decoder shows what it decodes: the level window implements it and installs
// itself in the seam levelDisplay.
class LevelDisplay {
public:
    virtual ~LevelDisplay() = default;
    virtual void toggleMeasurementLed() = 0;
    // The label under the tank ("57 %").
    virtual void setPercentCaption(const QString& caption) = 0;
    virtual void setTankPosition(double percent) = 0;
    // Every character position of a read-out blank.
    virtual void clearReadOut(LevelReadOut readOut) = 0;
    // Text into consecutive positions from (column, row); what passes the row's end is lost.
    virtual void writeReadOut(LevelReadOut readOut, int column, int row, const QString& text) = 0;
    // One recorded sample: a point in each chart, then a record line.
    virtual void recordSample() = 0;
};

// The read-out texts. `tenths` counts tenths of a centimetre, `whole` whole centimetres.
QString LevelVolumeText(std::uint16_t tensOfLitres);                  // "1230 Liter" for 123
QString LevelPercentText(std::uint8_t percent);                       // "57 %"
QString LevelDistanceText(std::uint16_t word, bool wholeCentimetres); // "DISTANZ:123.4 cm"
QString LevelHeightText(std::uint16_t word, bool wholeCentimetres);   // "PEGEL  :123.4 cm"

// Decoder of the TideSpan level telegram (type 0x10); reads rxTelegram and setting CHK_V300
// (per telegram), writes the live level values and records a sample while the level
// window's record switch is on.
void DecodeLevelTelegram();
