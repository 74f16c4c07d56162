#include "net/instrument_states.h"

#include "link/heatspan_telegram.h"
#include "temperature/temperature_decode.h"

HeatSpanStatus HeatSpanStatusOf(std::uint8_t statusByte, std::uint8_t rangeByte) {
    HeatSpanStatus status;
    status.alarm = (statusByte & kStatusAlarm) != 0;
    status.sensorError = (statusByte & kStatusSensorError) != 0;
    status.output1 = (statusByte & kStatusOutput1) != 0;
    status.output2 = (statusByte & kStatusOutput2) != 0;
    status.highRange7 = (rangeByte & kRangeChannel7) != 0;
    status.highRange8 = (rangeByte & kRangeChannel8) != 0;
    return status;
}

HeatSpanState HeatSpanStateOf(const QDateTime& time,
                              const std::array<double, kHeatSpanChannels>& liveTemperatures,
                              const std::array<QString, kHeatSpanChannels>& names,
                              const std::optional<HeatSpanStatus>& status) {
    HeatSpanState state;
    state.time = time;
    state.names = names;
    state.status = status;
    for (int channel = 1; channel <= kHeatSpanChannels; ++channel) {
        const auto i = static_cast<std::size_t>(channel - 1);
        if (liveTemperatures[i] < NoValueLimit(channel))
            state.temperatures[i] = liveTemperatures[i];
    }
    return state;
}

TideSpanState TideSpanStateOf(const QDateTime& time, const LevelPayload& payload,
                              bool wholeCentimetres) {
    // Divided, not multiplied by 0.1: 1234 gives exactly the double nearest 123.4.
    const double divisor = wholeCentimetres ? 1.0 : 10.0;
    TideSpanState state;
    state.time = time;
    state.percent = payload.percent;
    state.heightCm = payload.height / divisor;
    state.distanceCm = payload.distance / divisor;
    state.volumeL = payload.volume * 10.0;
    return state;
}
