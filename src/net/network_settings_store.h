#pragma once

#include "net/network_settings.h"
#include "settings/settings.h"
#include "settings/settings_io.h"
#include "settings/settings_store.h"

// The network values live in the per-user settings store beside the 32, under names of
// their own. They are read after the 32 and written after them, in the same opening of the
// store, and they never change how the 32 load: a network value that is missing, of the
// wrong type or out of range takes its default and stops nothing. The password is not
// among them (PasswordKeeper).

inline constexpr int kMqttPort = 1883;
inline constexpr int kMqttTlsPort = 8883;
// The highest NetworkSettings::rate (at most one state per 60 s).
inline constexpr int kMaxRate = 3;

// The program-wide network settings (start values until loaded).
extern NetworkSettings networkSettings;
void ResetNetworkSettings();

// Reads the network values from an open store; what cannot be used keeps its default.
NetworkSettings ReadNetworkSettings(SettingsStore& store);
// Writes them in the order above and stops at the first one the store refuses; returns
// its name, or nullptr when all were written.
const char* WriteNetworkSettings(SettingsStore& store, const NetworkSettings& network);

// LoadSettings of the 32 exactly as it is, then the network values in the same opening of
// the store (also when loading the 32 stopped early). When the store cannot be opened,
// `network` stays as it is.
void LoadSettingsWithNetwork(SettingsStore& store, Settings& target, NetworkSettings& network,
                             const SettingsMessage& message);
// SaveSettings of the 32 exactly as it is, then the network values, committed together.
// After a value of the 32 was refused no network value is written; a refused network
// value is told as the 32 tell theirs ("Fehler beim Setzen der Daten für 'NET_HOST'").
void SaveSettingsWithNetwork(SettingsStore& store, const Settings& source,
                             const NetworkSettings& network, const SettingsMessage& message);
