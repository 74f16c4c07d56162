#pragma once

#include "link/heatspan_telegram.h"
#include "temperature/temperature_reading.h"
#include "temperature/temperature_state.h"

#include <QString>

// A decoded value at or above this limit means "no sensor" for the display: 150.0 for
// channels 1 to 6, 1000.0 for channels 7 and 8 (channel 1..8).
double NoValueLimit(int channel);

// The value text under a gauge: "21.5 °C"; at most four significant digits before the
// one decimal ("-3277.0 °C"). NoValueText() is shown for a missing sensor.
QString TemperatureText(double value);
QString NoValueText();

// What the temperature window shows of the readings (ShowTemperatureReading and
// ShowStatusReading below); the window implements it, tests record it.
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
    // One recorded sample stamped `when`: a chart point per channel, then a record line.
    virtual void recordSample(const QDateTime& when) = 0;
};

// The decoders of the HeatSpan telegrams: pure steps from a telegram to a reading stamped
// `time`. Type "0" carries channels 1 to 4, type "1" channels 5 to 8, each a word of
// tenths of a degree; the status telegram the status byte and the range bits.
TemperatureReading DecodeTemperatureTelegram0(const Telegram& telegram, const QDateTime& time);
TemperatureReading DecodeTemperatureTelegram1(const Telegram& telegram, const QDateTime& time);
StatusReading DecodeStatusTelegram(const Telegram& telegram, const QDateTime& time);

// What the dispatcher calls for each HeatSpan telegram: counts it in tempTelegramCount,
// decodes it at the tick's time and hands the reading to the consumers of
// temperatureReadings or statusReadings.
void ReceiveTemperatureTelegram0(const Telegram& telegram);
void ReceiveTemperatureTelegram1(const Telegram& telegram);
void ReceiveStatusTelegram(const Telegram& telegram);

// The temperature window's part of a reading. A type "0" reading blinks the measurement LED
// first; then, channel by channel, the value text and the gauge, or the no-value text with
// the gauge left where it stands.
void ShowTemperatureReading(const TemperatureReading& reading, TemperatureDisplay& display);
// While recording: one sample at the reading's time (the current live temperatures). Then
// the alarm and sensor-error LEDs and the ranges of channels 7 and 8.
void ShowStatusReading(const StatusReading& reading, TemperatureDisplay& display);
