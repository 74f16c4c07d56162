#include "link/sim_stream.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double wave(double seconds, double period, double phase) {
    return std::sin(2.0 * std::numbers::pi * seconds / period + phase);
}

struct Channel {
    double base, swing, period;
};

// Rooms 1-5, outdoors, boiler, hot-water tank.
constexpr std::array<Channel, 8> kChannels{{{21.0, 1.5, 600},
                                            {20.5, 2.0, 900},
                                            {22.0, 1.2, 750},
                                            {19.5, 1.0, 1200},
                                            {22.5, 1.8, 480},
                                            {6.0, 5.0, 1800},
                                            {60.0, 4.0, 300},
                                            {48.0, 3.0, 1500}}};

constexpr double kTankFullCm = 200.0;
constexpr double kSensorAboveBottomCm = 230.0;
constexpr double kTankLitres = 10000.0;

} // namespace

std::array<double, 8> SimTransmitters::temperatures(double seconds) {
    std::array<double, 8> values{};
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        const Channel& c = kChannels[i];
        values[i] = c.base + c.swing * wave(seconds, c.period, 0.7 * double(i)) + noise(0.1);
    }
    return values;
}

double SimTransmitters::tankPercent(double seconds) {
    constexpr double period = 1200.0;
    const double phase = std::fmod(std::max(seconds, 0.0), period) / period; // 0..1
    const double rise = phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;       // 0..1..0
    return 15.0 + 75.0 * rise;
}

double SimTransmitters::noise(double amplitude) {
    return std::uniform_real_distribution<double>(-amplitude, amplitude)(rng_);
}

Telegram SimTransmitters::heatSpanTelegram(int address, std::uint8_t type, double seconds) {
    const auto values = temperatures(seconds);
    if (type == kTypeStatus) {
        std::uint8_t status = 0;
        if (values[6] > 63.5)
            status |= kStatusAlarm; // boiler too hot
        if (std::uniform_int_distribution<int>(0, 49)(rng_) == 0)
            status |= kStatusSensorError; // now and then
        if (values[6] < 58.0)
            status |= kStatusOutput1; // burner on
        if (values[7] < 46.0)
            status |= kStatusOutput2; // loading pump on
        return StatusTelegram(address, status);
    }
    const std::size_t first = static_cast<std::size_t>(FirstChannelOf(type) - 1);
    std::array<double, kWordsPerTelegram> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = values[first + i];
    return TemperatureTelegram(address, type, words);
}

LevelPayload SimTransmitters::levelPayload(double seconds) {
    const double percent = tankPercent(seconds);
    const double heightCm = kTankFullCm * percent / 100.0 + noise(0.3);
    LevelPayload payload;
    payload.distance =
        static_cast<std::uint16_t>(std::lround((kSensorAboveBottomCm - heightCm) * 10.0));
    payload.height = static_cast<std::uint16_t>(std::lround(heightCm * 10.0));
    payload.volume = static_cast<std::uint16_t>(std::lround(kTankLitres * percent / 100.0 / 10.0));
    payload.percent = static_cast<std::uint8_t>(std::lround(percent));
    return payload;
}

Telegram SimTransmitters::tideSpanTelegram(int address, double seconds) {
    return LevelTelegram(address, levelPayload(seconds));
}

LegacyFrame SimTransmitters::legacyLevelFrame(double seconds) {
    return LegacyLevelFrame(levelPayload(seconds));
}

TelegramStream::TelegramStream(const StreamOptions& options)
    : options_(options), transmitters_(options.seed), rng_(options.seed ^ 0x5eedu) {}

bool TelegramStream::chance(double ratio) {
    return ratio > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < ratio;
}

QByteArray TelegramStream::nextFrame(double seconds) {
    auto bytes = [](const auto& frame) {
        return QByteArray(reinterpret_cast<const char*>(frame.data()),
                          static_cast<qsizetype>(frame.size()));
    };
    if (options_.legacy)
        return bytes(transmitters_.legacyLevelFrame(seconds));
    const int slot = slot_;
    slot_ = (slot_ + 1) % 4;
    if (slot == 3)
        return bytes(transmitters_.tideSpanTelegram(options_.tideSpanAddress, seconds));
    const auto type = static_cast<std::uint8_t>(kTypeTemperature0 + slot);
    return bytes(transmitters_.heatSpanTelegram(options_.heatSpanAddress, type, seconds));
}

QByteArray TelegramStream::next(double seconds) {
    if (chance(options_.strayRatio)) {
        const int count = std::uniform_int_distribution<int>(1, frameSize() - 1)(rng_);
        QByteArray stray(count, '\0');
        for (char& c : stray)
            c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng_));
        return stray;
    }
    QByteArray out = nextFrame(seconds);
    if (chance(options_.crcErrorRatio))
        out[5] = static_cast<char>(out[5] ^ 0x01); // one flipped bit fails either check
    if (chance(options_.burstRatio))
        out += nextFrame(seconds);
    return out;
}
