#include "app/monidesk.h"

#include "alarm/alarm.h"
#include "alarm/check_alarms.h"
#include "app/diagnose.h"
#include "app/dispatch.h"
#include "app/filelog.h"
#include "app/start_unit.h"
#include "platform/error_report.h"

#include "level/tidespan.h"
#include "link/link_notice.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "settings/setup.h"
#include "temperature/heatspan.h"
#include <QTimer>

TfmStart* fmStart = nullptr;
TfmSerial* fmSerial = nullptr;
TfmDiagnose* fmDiagnose = nullptr;
TfmTermo* fmTermo = nullptr;
TfmSetup* fmSetup = nullptr;
TfmLevel* fmLevel = nullptr;
TfmAlarm* fmAlarm = nullptr;
TfmFilelog* fmFilelog = nullptr;

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

    // What the lower layers report, and where checked telegrams go.
    linkIndicators.install(fmDiagnose);
    alarmResponse.install(fmTermo);
    SetTelegramDispatcher(DispatchTelegram);
    SetLinkNoticeHook(ErrorReport::ReportLater);
    // The windows among each other.
    QObject::connect(fmSetup, &TfmSetup::closed, fmStart, &TfmStart::ApplyChannelNames);
    // A logger that switched itself off unticks its box in the setup window.
    QObject::connect(fmFilelog, &TfmFilelog::termoLogSwitchedOff, fmSetup,
                     &TfmSetup::ShowLoggerSwitches);
    QObject::connect(fmFilelog, &TfmFilelog::levelLogSwitchedOff, fmSetup,
                     &TfmSetup::ShowLoggerSwitches);

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
    SetLinkNoticeHook({});
    destroy(fmFilelog);
    destroy(fmAlarm);
    destroy(fmLevel);
    destroy(fmSetup);
    destroy(fmTermo);
    destroy(fmDiagnose);
    destroy(fmSerial); // closes the COM port
    destroy(fmStart);  // saves the settings
}

static void initResourcesOutsideNamespace() {
    Q_INIT_RESOURCE(resources);
}
void InitResources() {
    initResourcesOutsideNamespace();
}
