#include "app/monidesk.h"

#include "alarm/alarm.h"
#include "alarm/check_alarms.h"
#include "app/diagnose.h"
#include "app/dispatch.h"
#include "app/filelog.h"
#include "app/network_wiring.h"
#include "app/start_unit.h"
#include "platform/error_report.h"
#include "platform/window_frame.h"

#include "level/level_state.h"
#include "level/tidespan.h"
#include "link/link_notice.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "net/network_settings_store.h"
#include "net/network_window.h"
#include "net/password_keeper.h"
#include "settings/setup.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_state.h"

#include <QTimer>

TfmStart* fmStart = nullptr;
TfmSerial* fmSerial = nullptr;
TfmDiagnose* fmDiagnose = nullptr;
TfmTermo* fmTermo = nullptr;
TfmSetup* fmSetup = nullptr;
TfmLevel* fmLevel = nullptr;
TfmAlarm* fmAlarm = nullptr;
TfmFilelog* fmFilelog = nullptr;
TfmNetwork* fmNetwork = nullptr;
PasswordKeeper* passwordKeeper = nullptr;
std::optional<MqttOverride> mqttOverride;

namespace {

// Where each decoded reading goes, in this order:
// - a temperature reading (type "0" or "1"): the live temperatures, then the temperature
//   window (texts and gauges), then the TermoLog logger learns that its half arrived;
// - a status reading: the alarm check, then the temperature window (the recorded sample,
//   the LEDs, the ranges of channels 7 and 8), so that an alarm brings the window to the
//   front before a full record store can hold it up with its message;
// - a level reading: the live level values, then the level window (which records them),
//   then the LevelLog logger learns that it arrived;
// - a checked telegram (acceptedTelegrams, before the dispatcher): nobody here.
// The network station's consumers come after all of these (AttachNetworkConsumers): a
// temperature or status reading goes to the publisher as a HeatSpan state built from the
// live temperatures it has just updated, a level reading as a TideSpan state, and a checked
// telegram from USB or COM is published raw. Whatever else wants readings (an export) is
// attached after those.
void attachConsumers() {
    temperatureReadings.attach(StoreLiveTemperatures);
    temperatureReadings.attach([window = fmTermo](const TemperatureReading& reading) {
        ShowTemperatureReading(reading, *window);
    });
    temperatureReadings.attach([](const TemperatureReading& reading) {
        NoteLoggedReading(reading.firstHalf() ? LoggedReading::Temperatures1To4
                                              : LoggedReading::Temperatures5To8,
                          reading.time);
    });
    statusReadings.attach([](const StatusReading& reading) { CheckAlarms(reading.status); });
    statusReadings.attach(
        [window = fmTermo](const StatusReading& reading) { ShowStatusReading(reading, *window); });
    levelReadings.attach(StoreLiveLevel);
    levelReadings.attach(
        [window = fmLevel](const LevelReading& reading) { window->ShowLevelReading(reading); });
    levelReadings.attach(
        [](const LevelReading& reading) { NoteLoggedReading(LoggedReading::Level, reading.time); });
}

// Every consumer goes with the windows they show in.
void detachConsumers() {
    acceptedTelegrams.clear();
    temperatureReadings.clear();
    statusReadings.clear();
    levelReadings.clear();
}

} // namespace

void CreateWindows() {
    // The main window comes first: creating it loads the settings before any other
    // window exists.
    fmStart = new TfmStart;
    fmSerial = new TfmSerial;
    fmDiagnose = new TfmDiagnose;
    fmTermo = new TfmTermo;
    fmSetup = new TfmSetup;
    fmLevel = new TfmLevel;
    fmAlarm = new TfmAlarm;
    fmFilelog = new TfmFilelog;
    passwordKeeper = new PasswordKeeper;
    fmNetwork = new TfmNetwork(networkSettings, *passwordKeeper);
    // Publishing starts once the password is there (loaded() also when there is none).
    CreateNetworkStation();
    passwordKeeper->load();

    // What the lower layers report, where checked telegrams go and who gets their readings.
    linkIndicators.install(fmDiagnose);
    alarmResponse.install(fmTermo);
    SetTelegramDispatcher(DispatchTelegram);
    attachConsumers();
    AttachNetworkConsumers();
    SetLinkNoticeHook(ErrorReport::ReportLater);
    // The windows among each other.
    QObject::connect(fmSetup, &TfmSetup::closed, fmStart, &TfmStart::ApplyChannelNames);
    // A logger that switched itself off unticks its box in the setup window.
    QObject::connect(fmFilelog, &TfmFilelog::termoLogSwitchedOff, fmSetup,
                     &TfmSetup::ShowLoggerSwitches);
    QObject::connect(fmFilelog, &TfmFilelog::levelLogSwitchedOff, fmSetup,
                     &TfmSetup::ShowLoggerSwitches);
    // The network window opens from the setup window and from the tray menu.
    QObject::connect(fmSetup, &TfmSetup::networkRequested, fmNetwork,
                     [] { ShowWindow(fmNetwork); });
    QObject::connect(fmStart, &TfmStart::networkRequested, fmNetwork,
                     [] { ShowWindow(fmNetwork); });

    fmStart->ApplyFirstRunDefaults();
    // The first tick comes from the message loop, never before the windows exist.
    fmStart->Timer2->start();
}

namespace {
template <typename T> void destroy(T*& window) {
    delete window;
    window = nullptr;
}
} // namespace

void DestroyWindows() {
    linkIndicators.uninstall(fmDiagnose);
    alarmResponse.uninstall(fmTermo);
    SetTelegramDispatcher({});
    detachConsumers();
    SetLinkNoticeHook({});
    DestroyNetworkStation(); // the broker learns at once that this station is offline
    destroy(fmNetwork);      // what was typed last goes to the keeper and the settings
    destroy(passwordKeeper);
    destroy(fmFilelog);
    destroy(fmAlarm);
    destroy(fmLevel);
    destroy(fmSetup);
    destroy(fmTermo);
    destroy(fmDiagnose);
    destroy(fmSerial); // closes the COM port
    destroy(fmStart);  // saves the settings
}
