#include "alarm/check_alarms.h"

#include "app/windows.h"
#include "link/telegram.h"
#include "platform/window_frame.h"
#include "settings/settings.h"
#include "temperature/heatspan.h"

namespace {

std::function<void()>& shower() {
    static std::function<void()> show;
    return show;
}

void showTemperatureWindow() {
    if (shower())
        shower()();
    else if (fmTermo)
        ShowWindow(fmTermo);
}

} // namespace

bool AlarmShowsTemperatureWindow(std::uint8_t status, const Settings& options) {
    // Four independent tests; several matches show the window just once.
    bool show = false;
    show |= (status & 0x08) != 0 && options.ck_al_led;
    show |= (status & 0x04) != 0 && options.ck_al_sf;
    show |= (status & 0x20) != 0 && options.ck_al_out1;
    show |= (status & 0x10) != 0 && options.ck_al_out2;
    return show;
}

void CheckAlarms() {
    if (AlarmShowsTemperatureWindow(rxTelegram[2], settings))
        showTemperatureWindow();
}

void SetAlarmWindowShower(std::function<void()> shower_) {
    shower() = std::move(shower_);
}
