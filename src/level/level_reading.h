#pragma once

#include "link/tidespan_telegram.h"

#include <QDateTime>
#include <QString>

#include <array>

// What the level decoder yields, one reading per level telegram, stamped with the time of
// the poll tick that received it. The program hands it to its consumers in the order
// monidesk.cpp attaches them.
struct LevelReading {
    QDateTime time;
    LevelPayload words;            // the payload as received
    bool wholeCentimetres = false; // decoded in whole-centimetre mode (CHK_V300)

    double percent = 0;        // fill percentage, whole percent (0..255)
    double heightCm = 0;       // fill height in whole centimetres (tenths cut off)
    double distanceTenths = 0; // distance in tenths of a centimetre, whatever the firmware
    double heightTenths = 0;   // fill height in tenths of a centimetre, whatever the firmware
    double volumeLitres = 0;   // the volume word times ten

    // The two read-outs' rows as written from their first column: lcdLiter shows the
    // volume and the percentage, lcdHoehe the distance and the fill height. What passes a
    // row's 16th column is cut off by the read-out.
    std::array<QString, 2> volumeRows;
    std::array<QString, 2> heightRows;
};
