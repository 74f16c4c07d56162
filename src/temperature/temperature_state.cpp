#include "temperature/temperature_state.h"

#include "temperature/temperature_decode.h"

std::array<double, kTempChannels> liveTemperatures{};
RecordStore tempRecords;

namespace {

class NoDisplay final : public TemperatureDisplay {
public:
    void toggleMeasurementLed() override {}
    void showChannelText(int, const QString&) override {}
    void setChannelPosition(int, double) override {}
    void setStatusLeds(bool, bool) override {}
    void setHighRange(int, bool) override {}
    void recordSample() override {}
};

TemperatureDisplay& noDisplay() {
    static NoDisplay none;
    return none;
}

} // namespace

Seam<TemperatureDisplay> temperatureDisplay(noDisplay);

void ResetTemperatureState() {
    liveTemperatures.fill(0.0);
    tempRecords.reset();
}
