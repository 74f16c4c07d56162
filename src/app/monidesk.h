#pragma once

#include "net/mqtt_option.h"
#include "platform/resources.h"

#include <optional>

// One program-wide reference per window; each window exists once for the whole run.
class TfmStart;
class TfmSerial;
class TfmDiagnose;
class TfmTermo;
class TfmSetup;
class TfmLevel;
class TfmAlarm;
class TfmFilelog;
class TfmNetwork;
class PasswordKeeper;

extern TfmStart* fmStart;
extern TfmSerial* fmSerial;
extern TfmDiagnose* fmDiagnose;
extern TfmTermo* fmTermo;
extern TfmSetup* fmSetup;
extern TfmLevel* fmLevel;
extern TfmAlarm* fmAlarm;
extern TfmFilelog* fmFilelog;
extern TfmNetwork* fmNetwork;
// Keeps the MQTT password (keyring or private file); made before the network window.
extern PasswordKeeper* passwordKeeper;

// `--mqtt` of this run: applied over the network settings right after they are loaded and
// taken back out before they are saved.
extern std::optional<MqttOverride> mqttOverride;

// Creates the windows in start-up order (the main window first, which loads the
// settings), wires them to each other and to the layers below, then applies the first-run
// defaults.
void CreateWindows();
// Destroys them; the main window saves the settings as it goes.
void DestroyWindows();
