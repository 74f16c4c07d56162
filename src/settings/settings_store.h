#pragma once

#include "platform/seam.h"

#include <cstdint>
#include <memory>
#include <string>

// The per-user store of the settings, with the operations of a registry key. Standard
// C++ only, so a Windows registry backend can stand beside the file backend.
struct StoredValue {
    enum class Type { Missing, String, ExpandString, Dword, Other };
    Type type = Type::Missing;
    std::string text;       // String, ExpandString
    std::int32_t dword = 0; // Dword
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Opens the key Velcor_Monidesk, creating it when missing; false when it cannot.
    virtual bool open() = 0;
    // Why the last open() failed, as a message for the user (UTF-8); empty when there is
    // nothing to tell, and the store is skipped silently.
    virtual std::string openError() const { return {}; }
    // What the user should know about the last open() that succeeded (a damaged store that
    // was set aside, and what of it could be read), as a message (UTF-8); empty when nothing.
    virtual std::string openNotice() const { return {}; }
    virtual StoredValue read(const std::string& name) = 0;
    // The writes refuse (false) a value the store could not give back as it is, such as
    // a text with a NUL in it (every reader of the registry ends a text there).
    virtual bool writeString(const std::string& name, const std::string& value) = 0;
    virtual bool writeExpandString(const std::string& name, const std::string& value) = 0;
    virtual bool writeDword(const std::string& name, std::int32_t value) = 0;
    // Closes the key; a backend that buffers writes commits them here. False only when
    // writes this store accepted were lost (nothing of them reached the store).
    virtual bool close() = 0;
    // Why the last write or close() failed, as the system says it (UTF-8, "Kein freier
    // Speicherplatz auf dem Gerät"); empty when not known or when the value was refused.
    virtual std::string writeError() const { return {}; }
};

// Where the program gets its store from: the platform's own (the registry on Windows,
// settings.reg elsewhere) unless a test installed a source of its own.
class SettingsStoreSource {
public:
    virtual ~SettingsStoreSource() = default;
    virtual std::unique_ptr<SettingsStore> make() = 0;
};

extern Seam<SettingsStoreSource> settingsStoreSeam;

// The current user's store, from the source in force.
std::unique_ptr<SettingsStore> OpenUserSettingsStore();

// The platform's own store (registry or settings.reg), whatever source is installed.
std::unique_ptr<SettingsStore> OpenPlatformSettingsStore();
