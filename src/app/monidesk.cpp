#include "app/windows.h"

#include "alarm/alarm.h"
#include "app/diagnose.h"
#include "app/error_report.h"
#include "app/filelog.h"
#include "app/start_unit.h"
#include "level/tidespan.h"
#include "link/link_indicators.h"
#include "link/link_notice.h"
#include "link/serial_com.h"
#include "settings/setup.h"
#include "temperature/heatspan.h"

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
    linkIndicators = fmDiagnose;
    SetLinkNoticeHook(ErrorReport::ReportLater);
    fmTermo = new TfmTermo;
    fmSetup = new TfmSetup;
    fmLevel = new TfmLevel;
    fmAlarm = new TfmAlarm;
    fmFilelog = new TfmFilelog;
    fmStart->ApplyFirstRunDefaults();
}

namespace {
template <typename T> void destroy(T*& window) {
    delete window;
    window = nullptr;
}
} // namespace

void DestroyWindows() {
    linkIndicators = nullptr;
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
