#include "temperature/temperature_state.h"

std::array<double, kTempChannels> liveTemperatures{};
RecordStore tempRecords;
ConsumerList<TemperatureReading> temperatureReadings;
ConsumerList<StatusReading> statusReadings;

void StoreLiveTemperatures(const TemperatureReading& reading) {
    for (std::size_t slot = 0; slot < reading.celsius.size(); ++slot)
        liveTemperatures[static_cast<std::size_t>(reading.firstChannel - 1) + slot] =
            reading.celsius[slot];
}

void ResetTemperatureState() {
    liveTemperatures.fill(0.0);
    tempRecords.reset();
    temperatureReadings.clear();
    statusReadings.clear();
}
