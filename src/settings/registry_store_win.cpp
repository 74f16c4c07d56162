// The settings key in the Windows registry: HKEY_CURRENT_USER\Velcor_Monidesk, reached
// through the ANSI registry functions, so texts stay 8-bit in the system's code page.
#include "settings/settings_store.h"

#include <windows.h>

namespace {

constexpr const char* kKeyName = "Velcor_Monidesk";

class RegistrySettingsStore : public SettingsStore {
public:
    ~RegistrySettingsStore() override { close(); }

    bool open() override {
        close();
        return RegCreateKeyExA(HKEY_CURRENT_USER, kKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }

    StoredValue read(const std::string& name) override {
        StoredValue result;
        if (!key_)
            return result;
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return result;
        // A value that exists but cannot be read is not taken for a missing one.
        result.type = StoredValue::Type::Other;
        if (status != ERROR_SUCCESS)
            return result;
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD value = 0;
            if (query(name, &type, &value, size) && type == REG_DWORD) {
                result.type = StoredValue::Type::Dword;
                result.dword = static_cast<std::int32_t>(value);
            }
        } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
            readText(name, size, result);
        }
        return result;
    }

    bool writeString(const std::string& name, const std::string& value) override {
        return setText(name, REG_SZ, value);
    }

    bool writeExpandString(const std::string& name, const std::string& value) override {
        return setText(name, REG_EXPAND_SZ, value);
    }

    bool writeDword(const std::string& name, std::int32_t value) override {
        const DWORD data = static_cast<DWORD>(value);
        return key_ &&
               RegSetValueExA(key_, name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
    }

    bool close() override {
        if (key_) {
            RegCloseKey(key_);
            key_ = nullptr;
        }
        return true; // the registry keeps every write at once
    }

private:
    bool query(const std::string& name, DWORD* type, void* data, DWORD& size) {
        return RegQueryValueExA(key_, name.c_str(), nullptr, type, static_cast<BYTE*>(data),
                                &size) == ERROR_SUCCESS;
    }

    // The stored text up to its first NUL (the terminator may be missing); the value
    // is read again with a larger buffer when it grew in between.
    void readText(const std::string& name, DWORD size, StoredValue& result) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            std::string buffer(size + 1, '\0');
            DWORD type = 0;
            DWORD got = size;
            const LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                                 reinterpret_cast<BYTE*>(buffer.data()), &got);
            if (status == ERROR_MORE_DATA) {
                size = got;
                continue;
            }
            if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
                return;
            buffer.resize(got);
            if (const auto nul = buffer.find('\0'); nul != std::string::npos)
                buffer.resize(nul);
            result.type =
                type == REG_SZ ? StoredValue::Type::String : StoredValue::Type::ExpandString;
            result.text = std::move(buffer);
            return;
        }
    }

    // A NUL would end the text for every reader: such a text is refused, not cut.
    bool setText(const std::string& name, DWORD type, const std::string& value) {
        return key_ && value.find('\0') == std::string::npos &&
               RegSetValueExA(key_, name.c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }

    HKEY key_ = nullptr;
};

} // namespace

std::unique_ptr<SettingsStore> OpenPlatformSettingsStore() {
    return std::make_unique<RegistrySettingsStore>();
}
