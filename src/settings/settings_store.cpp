#include "settings/settings_store.h"

namespace {

class PlatformStoreSource final : public SettingsStoreSource {
public:
    std::unique_ptr<SettingsStore> make() override { return OpenPlatformSettingsStore(); }
};

SettingsStoreSource& platformSource() {
    static PlatformStoreSource source;
    return source;
}

} // namespace

Seam<SettingsStoreSource> settingsStoreSeam(platformSource);

std::unique_ptr<SettingsStore> OpenUserSettingsStore() {
    return settingsStoreSeam->make();
}
