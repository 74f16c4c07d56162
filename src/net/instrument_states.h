#pragma once

#include "link/tidespan_telegram.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// What the publisher is told about each instrument: one snapshot per reading, with the time
// of the tick that produced it.

inline constexpr int kHeatSpanChannels = 8;

// The status telegram's bits. The transmitter reports one alarm and one sensor error for all
// eight channels.
struct HeatSpanStatus {
    bool alarm = false;       // 0x08
    bool sensorError = false; // 0x04
    bool output1 = false;     // 0x20
    bool output2 = false;     // 0x10
    bool highRange7 = false;  // range byte 0x01
    bool highRange8 = false;  // range byte 0x02
    friend bool operator==(const HeatSpanStatus&, const HeatSpanStatus&) = default;
};
HeatSpanStatus HeatSpanStatusOf(std::uint8_t statusByte, std::uint8_t rangeByte);

struct HeatSpanState {
    QDateTime time;
    // Channel 1 at index 0, in °C; nothing where the channel has no value (its decoded value
    // is at or above the channel's no-value limit: a missing or failed sensor).
    std::array<std::optional<double>, kHeatSpanChannels> temperatures;
    // The channel names of the setup window.
    std::array<QString, kHeatSpanChannels> names;
    // Nothing until the first status telegram.
    std::optional<HeatSpanStatus> status;
};

// A snapshot from the live temperatures as the decoders keep them (values at or above the
// no-value limit become "no value").
HeatSpanState HeatSpanStateOf(const QDateTime& time,
                              const std::array<double, kHeatSpanChannels>& liveTemperatures,
                              const std::array<QString, kHeatSpanChannels>& names,
                              const std::optional<HeatSpanStatus>& status);

struct TideSpanState {
    QDateTime time;
    double percent = 0;    // whole percent
    double heightCm = 0;   // fill height, to a tenth of a centimetre
    double distanceCm = 0; // to a tenth of a centimetre
    double volumeL = 0;    // litres (the transmitter counts tens)
};

// A snapshot from a level telegram's payload; `wholeCentimetres` is the firmware V3 mode.
TideSpanState TideSpanStateOf(const QDateTime& time, const LevelPayload& payload,
                              bool wholeCentimetres);
