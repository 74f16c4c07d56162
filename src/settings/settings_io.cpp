#include "settings/settings_io.h"

#include <string_view>
#include <type_traits>
#include <utility>

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

bool isChannelName(const SettingField& field) {
    return std::string_view(field.name).starts_with("TNAME");
}

// Bytes of the UTF-8 character at text[at], and the UTF-16 units it takes. A byte that
// starts no valid sequence counts as one character of its own.
std::pair<std::size_t, int> utf8Character(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead < 0xC2   ? 1
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 1;
    if (length == 1 || at + length > text.size())
        return {1, 1};
    for (std::size_t i = at + 1; i < at + length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return {1, 1};
    return {length, length == 4 ? 2 : 1};
}

// A stored text as loading takes it: a channel name cut to what the setup window holds
// (never in the middle of a character), any other text left out when it is longer than
// any path, as a cut path would name another file.
std::string takeText(const SettingField& field, const std::string& text) {
    if (!isChannelName(field))
        return text.size() <= kMaxTextBytes ? text : std::string();
    std::size_t end = 0;
    int units = 0;
    while (end < text.size()) {
        const auto [bytes, width] = utf8Character(text, end);
        if (units + width > kChannelNameLength)
            break;
        units += width;
        end += bytes;
    }
    return text.substr(0, end);
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
            text = takeText(field, value.text);
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
    if (!store.open()) {
        // A store that says why it cannot be opened (a settings file that cannot be read)
        // says so once, here; the save then skips it silently.
        if (const std::string why = store.openError(); message && !why.empty())
            message(why);
        return;
    }
    // A store that was damaged says so once, here, before any message about its values.
    if (const std::string notice = store.openNotice(); message && !notice.empty())
        message(notice);
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
// names the first value of the table, the first one that did not reach the store. The
// store's reason follows the name when it knows one.
void SaveSettings(SettingsStore& store, const Settings& source, const SettingsMessage& message) {
    if (!store.open())
        return;
    const SettingField* failed = nullptr;
    std::string reason;
    for (const SettingField& field : kSettingsTable) {
        if (!writeField(store, source, field)) {
            failed = &field;
            reason = store.writeError();
            break;
        }
    }
    if (!store.close()) {
        failed = &kSettingsTable.front();
        reason = store.writeError();
    }
    if (!failed || !message)
        return;
    std::string text = withName("Fehler beim Setzen der Daten für '%s'", failed->name);
    if (!reason.empty())
        text += ": " + reason;
    message(text);
}
