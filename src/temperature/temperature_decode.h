#pragma once

#include "link/heatspan_telegram.h"
#include "temperature/temperature_state.h"

#include <QString>

// A decoded value at or above this limit means "no sensor" for the display: 150.0 for
// channels 1 to 6, 1000.0 for channels 7 and 8 (channel 1..8).
double NoValueLimit(int channel);

// The value text under a gauge: "21.5 °C"; at most four significant digits before the
// one decimal ("-3277.0 °C"). NoValueText() is shown for a missing sensor.
QString TemperatureText(double value);
QString NoValueText();

// Where the decoders show what they decode: the temperature window implements it and
// installs itself in the seam temperatureDisplay.
class TemperatureDisplay {
public:
    virtual ~TemperatureDisplay() = default;
    virtual void toggleMeasurementLed() = 0;
    // Channel 1..8: the value text, and the gauge unless the value is missing.
    virtual void showChannelText(int channel, const QString& text) = 0;
    virtual void setChannelPosition(int channel, double value) = 0;
    virtual void setStatusLeds(bool alarm, bool sensorError) = 0;
    // Channel 7 or 8: the high-range LED and the gauge's upper end.
    virtual void setHighRange(int channel, bool high) = 0;
    // One recorded sample: a chart point per channel, then a record line.
    virtual void recordSample() = 0;
};

// Decoders of the HeatSpan telegrams; each reads rxTelegram.
void DecodeTemperatureTelegram0();
void DecodeTemperatureTelegram1();
void DecodeStatusTelegram();
