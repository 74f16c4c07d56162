#include "temperature/temperature_decode.h"

#include "alarm/check_alarms.h"
#include "link/telegram.h"
#include "temperature/temperature_records.h"

#include <cmath>

std::array<double, kTempChannels> liveTemperatures{};
TemperatureDisplay* temperatureDisplay = nullptr;

namespace {

constexpr std::uint8_t kStatusAlarm = 0x08;
constexpr std::uint8_t kStatusSensorError = 0x04;
constexpr std::uint8_t kRangeChannel7 = 0x01;
constexpr std::uint8_t kRangeChannel8 = 0x02;

// Decodes the four words of the telegram in rxTelegram into channels first..first+3.
void decodeChannels(int first) {
    for (int i = 0; i < 4; ++i) {
        const int channel = first + i;
        const std::size_t offset = 2 + 2 * static_cast<std::size_t>(i);
        const double value = DecodeTemperatureWord(rxTelegram[offset], rxTelegram[offset + 1]);
        liveTemperatures[static_cast<std::size_t>(channel - 1)] = value;
        if (!temperatureDisplay)
            continue;
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

double DecodeTemperatureWord(std::uint8_t low, std::uint8_t high) {
    int raw = low + 256 * high;
    if (raw > 32767)
        raw -= 65536;
    return raw / 10.0;
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
    if (temperatureDisplay)
        temperatureDisplay->toggleMeasurementLed();
    decodeChannels(1);
}

void DecodeTemperatureTelegram1() {
    CountUp(tempTelegramCount);
    decodeChannels(5);
}

void DecodeStatusTelegram() {
    CountUp(tempTelegramCount);
    CheckAlarms();
    if (!temperatureDisplay)
        return;
    if (tempRecording)
        temperatureDisplay->recordSample();
    const std::uint8_t status = rxTelegram[2];
    temperatureDisplay->setStatusLeds((status & kStatusAlarm) != 0,
                                      (status & kStatusSensorError) != 0);
    const std::uint8_t range = rxTelegram[8];
    temperatureDisplay->setHighRange(7, (range & kRangeChannel7) != 0);
    temperatureDisplay->setHighRange(8, (range & kRangeChannel8) != 0);
}
