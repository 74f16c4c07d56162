#include "temperature/temperature_decode.h"

#include "alarm/check_alarms.h"
#include "link/telegram.h"

#include <cmath>

namespace {

// Decodes the four words of the telegram in rxTelegram into channels first..first+3.
void decodeChannels(int first) {
    for (int slot = 0; slot < kWordsPerTelegram; ++slot) {
        const int channel = first + slot;
        const auto offset = static_cast<std::size_t>(TemperatureWordOffset(slot));
        const double value = DecodeTemperatureWord(rxTelegram[offset], rxTelegram[offset + 1]);
        liveTemperatures[static_cast<std::size_t>(channel - 1)] = value;
        if (value >= NoValueLimit(channel)) {
            temperatureDisplay->showChannelText(channel, NoValueText());
        } else {
            temperatureDisplay->showChannelText(channel, TemperatureText(value));
            temperatureDisplay->setChannelPosition(channel, value);
        }
    }
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

void DecodeTemperatureTelegram0() {
    CountUp(tempTelegramCount);
    temperatureDisplay->toggleMeasurementLed();
    decodeChannels(FirstChannelOf(kTypeTemperature0));
}

void DecodeTemperatureTelegram1() {
    CountUp(tempTelegramCount);
    decodeChannels(FirstChannelOf(kTypeTemperature1));
}

void DecodeStatusTelegram() {
    CountUp(tempTelegramCount);
    CheckAlarms();
    if (tempRecords.recording)
        temperatureDisplay->recordSample();
    const std::uint8_t status = rxTelegram[kStatusByte];
    temperatureDisplay->setStatusLeds((status & kStatusAlarm) != 0,
                                      (status & kStatusSensorError) != 0);
    const std::uint8_t range = rxTelegram[kRangeByte];
    temperatureDisplay->setHighRange(7, (range & kRangeChannel7) != 0);
    temperatureDisplay->setHighRange(8, (range & kRangeChannel8) != 0);
}
