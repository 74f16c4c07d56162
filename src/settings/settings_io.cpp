#include "settings/settings_io.h"

#include <string_view>
#include <type_traits>

// Loading, first-run defaults and saving, all driven by kSettingsTable so that the store
// order lives in one place. Standard C++ only: this also builds with the registry backend.

namespace {

std::string withName(const char* pattern, const char* name) {
    std::string text = pattern;
    text.replace(text.find("%s"), 2, name);
    return text;
}

bool isText(SettingKind kind) {
    return kind == SettingKind::String || kind == SettingKind::ExpandString;
}

// Texts first: a missing value reads as empty text, a value of any other type than a
// string ends loading with a message. Returns false when loading must stop.
bool loadTexts(SettingsStore& store, Settings& target, const SettingsMessage& message) {
    for (const SettingField& field : kSettingsTable) {
        if (!isText(field.kind))
            continue;
        const StoredValue value = store.read(field.name);
        std::string& text = target.*std::get<std::string Settings::*>(field.member);
        switch (value.type) {
        case StoredValue::Type::Missing:
            text.clear();
            break;
        case StoredValue::Type::String:
        case StoredValue::Type::ExpandString:
            text = value.text;
            break;
        case StoredValue::Type::Dword:
        case StoredValue::Type::Other:
            if (message)
                message(withName("Ungültiger Datentyp für '%s'", field.name));
            return false;
        }
    }
    return true;
}

// Then the booleans and integers: the first value that is missing or not a 32-bit integer
// ends the block silently, so it and every later value keep what they held.
void loadNumbers(SettingsStore& store, Settings& target) {
    for (const SettingField& field : kSettingsTable) {
        if (isText(field.kind))
            continue;
        const StoredValue value = store.read(field.name);
        if (value.type != StoredValue::Type::Dword)
            return;
        if (field.kind == SettingKind::Bool)
            target.*std::get<bool Settings::*>(field.member) = value.dword != 0;
        else
            target.*std::get<std::int32_t Settings::*>(field.member) = value.dword;
    }
}

bool writeField(SettingsStore& store, const Settings& source, const SettingField& field) {
    switch (field.kind) {
    case SettingKind::ExpandString:
        return store.writeExpandString(field.name,
                                       source.*std::get<std::string Settings::*>(field.member));
    case SettingKind::String:
        if (std::string_view(field.name) == kFirstRunMarkerName)
            return store.writeString(field.name, kFirstRunMarker);
        return store.writeString(field.name,
                                 source.*std::get<std::string Settings::*>(field.member));
    case SettingKind::Bool:
        return store.writeDword(field.name,
                                source.*std::get<bool Settings::*>(field.member) ? 1 : 0);
    case SettingKind::Int:
        return store.writeDword(field.name,
                                source.*std::get<std::int32_t Settings::*>(field.member));
    }
    return false;
}

} // namespace

void LoadSettings(SettingsStore& store, Settings& target, const SettingsMessage& message) {
    if (!store.open())
        return;
    if (loadTexts(store, target, message))
        loadNumbers(store, target);
    store.close();
}

void ApplyFirstRunDefaults(Settings& target) {
    if (target.REGAPP == kFirstRunMarker)
        return;
    for (const SettingField& field : kSettingsTable) {
        std::visit(
            [&](auto member) {
                using Value = std::remove_reference_t<decltype(target.*member)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    if (const auto* text = std::get_if<const char*>(&field.firstRun))
                        target.*member = *text;
                } else {
                    if (const auto* number = std::get_if<std::int32_t>(&field.firstRun))
                        target.*member = static_cast<Value>(*number);
                }
            },
            field.member);
    }
}

// Writes all values in table order and stops at the first one the store refuses. A store
// that buffers its writes reports at close() when none of them were kept; the message then
// names the first value of the table, the first one that did not reach the store.
void SaveSettings(SettingsStore& store, const Settings& source, const SettingsMessage& message) {
    if (!store.open())
        return;
    const SettingField* failed = nullptr;
    for (const SettingField& field : kSettingsTable) {
        if (!writeField(store, source, field)) {
            failed = &field;
            break;
        }
    }
    if (!store.close())
        failed = &kSettingsTable.front();
    if (failed && message)
        message(withName("Fehler beim Setzen der Daten für '%s'", failed->name));
}
