#include "settings/settings_store.h"

namespace {
SettingsStoreFactory installedFactory = nullptr;
} // namespace

std::unique_ptr<SettingsStore> OpenUserSettingsStore() {
    return installedFactory ? installedFactory() : OpenPlatformSettingsStore();
}

void SetUserSettingsStoreFactory(SettingsStoreFactory factory) {
    installedFactory = factory;
}
