#pragma once

#include "link/heatspan_telegram.h"

#include <QDateTime>

#include <array>
#include <cstdint>

// What the HeatSpan decoders yield, one reading per telegram, each stamped with the time of
// the poll tick that received it. The program hands them to their consumers in the order
// monidesk.cpp attaches them.

// A type "0" (channels 1 to 4) or type "1" (channels 5 to 8) telegram.
struct TemperatureReading {
    QDateTime time;
    int firstChannel = 1; // 1 or 5: celsius[i] is channel firstChannel + i
    std::array<double, kWordsPerTelegram> celsius{};

    // Type "0" readings blink the measurement LED.
    bool firstHalf() const { return firstChannel == 1; }
};

// A status telegram (type "2").
struct StatusReading {
    QDateTime time;
    // The status byte as received: kStatusAlarm, kStatusSensorError, kStatusOutput1 and
    // kStatusOutput2 are read, the other bits are carried along unread.
    std::uint8_t status = 0;
    bool highRange7 = false; // channel 7 in its high range (1000.0 at the top)
    bool highRange8 = false;

    bool alarm() const { return (status & kStatusAlarm) != 0; }
    bool sensorError() const { return (status & kStatusSensorError) != 0; }
};
