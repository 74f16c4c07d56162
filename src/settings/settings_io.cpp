#include "settings/settings_io.h"

// Placeholder bodies; the settings logic replaces them.
void LoadSettings(SettingsStore&, Settings&, const SettingsMessage&) {}
void ApplyFirstRunDefaults(Settings&) {}
void SaveSettings(SettingsStore&, const Settings&, const SettingsMessage&) {}
std::unique_ptr<SettingsStore> OpenUserSettingsStore() {
    return nullptr;
}
void SetUserSettingsStoreFactory(SettingsStoreFactory) {}
