#pragma once

#include "settings/settings.h"
#include "settings/settings_store.h"

#include <functional>
#include <string>

// Shows a message box with the given (UTF-8) text.
using SettingsMessage = std::function<void(const std::string&)>;

void LoadSettings(SettingsStore& store, Settings& target, const SettingsMessage& message);
void ApplyFirstRunDefaults(Settings& target);
void SaveSettings(SettingsStore& store, const Settings& source, const SettingsMessage& message);
