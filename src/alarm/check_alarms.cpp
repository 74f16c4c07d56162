#include "alarm/check_alarms.h"

#include "link/heatspan_telegram.h"
#include "settings/settings.h"

namespace {

class NoResponse final : public AlarmResponse {
public:
    void showTemperatureWindow() override {}
};

AlarmResponse& noResponse() {
    static NoResponse none;
    return none;
}

} // namespace

Seam<AlarmResponse> alarmResponse(noResponse);

void ResetAlarmState() {
    alarmResponse.install(nullptr);
}

bool AlarmShowsTemperatureWindow(std::uint8_t status, const Settings& options) {
    // Four independent tests; several matches show the window just once.
    bool show = false;
    show |= (status & kStatusAlarm) != 0 && options.ck_al_led;
    show |= (status & kStatusSensorError) != 0 && options.ck_al_sf;
    show |= (status & kStatusOutput1) != 0 && options.ck_al_out1;
    show |= (status & kStatusOutput2) != 0 && options.ck_al_out2;
    return show;
}

void CheckAlarms(std::uint8_t status) {
    if (AlarmShowsTemperatureWindow(status, settings))
        alarmResponse->showTemperatureWindow();
}
