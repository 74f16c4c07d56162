#include "temperature/temperature_decode.h"

#include "link/telegram.h"
#include "platform/clock.h"

#include <cmath>

namespace {

// The four words of a type "0" or "1" telegram, as channels first..first+3.
TemperatureReading decodeChannels(const Telegram& telegram, std::uint8_t type,
                                  const QDateTime& time) {
    TemperatureReading reading;
    reading.time = time;
    reading.firstChannel = FirstChannelOf(type);
    for (int slot = 0; slot < kWordsPerTelegram; ++slot) {
        const auto offset = static_cast<std::size_t>(TemperatureWordOffset(slot));
        reading.celsius[static_cast<std::size_t>(slot)] =
            DecodeTemperatureWord(telegram[offset], telegram[offset + 1]);
    }
    return reading;
}

} // namespace

double NoValueLimit(int channel) {
    return channel >= 7 ? 1000.0 : 150.0;
}

QString TemperatureText(double value) {
    // Four significant digits at most: from 1000 on, round away the digits below them.
    double shown = value;
    const double magnitude = std::abs(value);
    if (std::isfinite(value) && magnitude >= 999.95) {
        const int integerDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        const double unit = std::pow(10.0, integerDigits - 4);
        shown = std::round(value / unit) * unit;
    }
    return QString::number(shown, 'f', 1) + QStringLiteral(" °C");
}

QString NoValueText() {
    return QStringLiteral("--.- °C");
}

TemperatureReading DecodeTemperatureTelegram0(const Telegram& telegram, const QDateTime& time) {
    return decodeChannels(telegram, kTypeTemperature0, time);
}

TemperatureReading DecodeTemperatureTelegram1(const Telegram& telegram, const QDateTime& time) {
    return decodeChannels(telegram, kTypeTemperature1, time);
}

StatusReading DecodeStatusTelegram(const Telegram& telegram, const QDateTime& time) {
    StatusReading reading;
    reading.time = time;
    reading.status = telegram[kStatusByte];
    reading.highRange7 = (telegram[kRangeByte] & kRangeChannel7) != 0;
    reading.highRange8 = (telegram[kRangeByte] & kRangeChannel8) != 0;
    return reading;
}

void ReceiveTemperatureTelegram0(const Telegram& telegram) {
    CountUp(tempTelegramCount);
    temperatureReadings.deliver(DecodeTemperatureTelegram0(telegram, TickTime()));
}

void ReceiveTemperatureTelegram1(const Telegram& telegram) {
    CountUp(tempTelegramCount);
    temperatureReadings.deliver(DecodeTemperatureTelegram1(telegram, TickTime()));
}

void ReceiveStatusTelegram(const Telegram& telegram) {
    CountUp(tempTelegramCount);
    statusReadings.deliver(DecodeStatusTelegram(telegram, TickTime()));
}

void ShowTemperatureReading(const TemperatureReading& reading, TemperatureDisplay& display) {
    if (reading.firstHalf())
        display.toggleMeasurementLed();
    for (int slot = 0; slot < kWordsPerTelegram; ++slot) {
        const int channel = reading.firstChannel + slot;
        const double value = reading.celsius[static_cast<std::size_t>(slot)];
        if (value >= NoValueLimit(channel)) {
            display.showChannelText(channel, NoValueText());
        } else {
            display.showChannelText(channel, TemperatureText(value));
            display.setChannelPosition(channel, value);
        }
    }
}

void ShowStatusReading(const StatusReading& reading, TemperatureDisplay& display) {
    if (tempRecords.recording)
        display.recordSample(reading.time);
    display.setStatusLeds(reading.alarm(), reading.sensorError());
    display.setHighRange(7, reading.highRange7);
    display.setHighRange(8, reading.highRange8);
}
