// The settings store on the Windows registry itself: loading, first-run defaults and saving
// of HKEY_CURRENT_USER\Velcor_Monidesk through the real registry calls. Cross-built with
// mingw-w64 and run under Wine by scripts/wine-test; GoogleTest is not at hand there, so
// plain checks, one line per case and a summary at the end.
#include "settings/settings.h"
#include "settings/settings_io.h"
#include "settings/settings_store.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---- A tiny harness ----

int failedChecks = 0;

template <typename A, typename B>
void checkEqual(const A& actual, const B& expected, const char* what, int line) {
    if (actual == expected)
        return;
    ++failedChecks;
    std::ostringstream text;
    text << std::boolalpha << "    line " << line << ": " << what << "\n      actual:   " << actual
         << "\n      expected: " << expected << "\n";
    std::fputs(text.str().c_str(), stdout);
}

#define CHECK_EQ(actual, expected) checkEqual((actual), (expected), #actual, __LINE__)
#define CHECK(condition) checkEqual(bool(condition), true, #condition, __LINE__)

// ---- The key, read and written with the raw registry calls ----

constexpr const char* kKey = "Velcor_Monidesk";

HKEY openKey() {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ | KEY_WRITE, &key);
    return key;
}

void deleteKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

bool keyExists() {
    HKEY key = openKey();
    if (key)
        RegCloseKey(key);
    return key != nullptr;
}

void setRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void setDword(const char* name, DWORD value) {
    setRaw(name, REG_DWORD, &value, sizeof value);
}

void setText(const char* name, const std::string& text, DWORD type = REG_SZ) {
    setRaw(name, type, text.c_str(), DWORD(text.size() + 1));
}

void deleteValue(const char* name) {
    HKEY key = openKey();
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
};

std::optional<RawValue> rawValue(const char* name) {
    HKEY key = openKey();
    if (!key)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = RegQueryValueExA(key, name, nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::wstring wideValue(const char* name) {
    HKEY key = openKey();
    wchar_t buffer[256] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    const std::wstring wide(name, name + std::string_view(name).size());
    RegQueryValueExW(key, wide.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return buffer;
}

// `text` in the system's 8-bit code page, as the program holds its texts.
std::string ansi(const wchar_t* text) {
    char buffer[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

// ---- Settings by table row ----

bool isText(const SettingField& field) {
    return field.kind == SettingKind::String || field.kind == SettingKind::ExpandString;
}

// A value's content as one comparable string.
std::string shown(const Settings& s, const SettingField& field) {
    return std::visit(
        [&](auto member) {
            std::ostringstream text;
            text << std::boolalpha << s.*member;
            return text.str();
        },
        field.member);
}

// Every value other than its start value.
Settings allChanged() {
    Settings s;
    const wchar_t* names[] = {L"K\u00fchlraum", L"S\u00fcd", L"\u00d6l 3", L"Gr\u00e4fe",
                              L"Lager 5",       L"Ofen",     L"Vorlauf",   L"R\u00fccklauf"};
    for (int n = 1; n <= 8; ++n)
        s.channelName(n) = ansi(names[n - 1]);
    s.TLOG_PATH = ansi(L"C:\\Daten\\T\u00e4glich\\termo.log");
    s.LLOG_PATH = "D:\\level.log";
    s.TCHART_PATH = "C:\\Charts\\t.txt";
    s.LCHART_PATH = "";
    s.REGAPP = "INIT";
    for (const SettingField& field : kSettingsTable)
        if (field.kind == SettingKind::Bool)
            s.*std::get<bool Settings::*>(field.member) = true;
    s.FRE_LEVEL = 2;
    s.FRE_TERM = 1;
    s.LEV_ADR = -5;
    s.TERM_ADR = 32;
    s.GL_COM = INT32_MIN; // the store checks no range
    return s;
}

struct Messages {
    std::vector<std::string> texts;
    SettingsMessage sink() {
        return [this](const std::string& text) { texts.push_back(text); };
    }
};

void save(const Settings& s, Messages& messages) {
    auto store = OpenPlatformSettingsStore();
    SaveSettings(*store, s, messages.sink());
}

Settings load(Messages& messages, Settings start = Settings{}) {
    auto store = OpenPlatformSettingsStore();
    LoadSettings(*store, start, messages.sink());
    return start;
}

// ---- The cases ----

void firstRunOnAFreshProfile() {
    deleteKey();
    Messages messages;
    Settings s = load(messages);
    CHECK(keyExists()); // loading creates the key
    CHECK(messages.texts.empty());
    for (const SettingField& field : kSettingsTable)
        CHECK_EQ(shown(s, field), isText(field) ? std::string() : shown(Settings{}, field));
    ApplyFirstRunDefaults(s);
    CHECK_EQ(s.TNAME1, "TEMP 1");
    CHECK_EQ(s.TNAME8, "TEMP 8");
    CHECK_EQ(s.TLOG_PATH, "C:\\");
    CHECK_EQ(s.LCHART_PATH, "C:\\");
    CHECK_EQ(s.TERM_ADR, 17);
    CHECK_EQ(s.LEV_ADR, 0);
    CHECK_EQ(s.GL_COM, 0);
    CHECK_EQ(s.REGAPP, "");

    save(s, messages);
    CHECK(messages.texts.empty());
    for (const SettingField& field : kSettingsTable) {
        const auto raw = rawValue(field.name);
        CHECK(raw.has_value());
        if (!raw)
            continue;
        const DWORD type = field.kind == SettingKind::ExpandString ? REG_EXPAND_SZ
                           : field.kind == SettingKind::String     ? REG_SZ
                                                                   : REG_DWORD;
        CHECK_EQ(raw->type, type);
    }
    CHECK_EQ(rawValue("REGAPP")->bytes, std::string("INIT", 5));
    CHECK_EQ(rawValue("TLOG_PATH")->bytes, std::string("C:\\", 4));
    CHECK_EQ(rawValue("TERM_ADR")->bytes, std::string("\x11\0\0\0", 4));

    // The second start finds the marker: loaded as saved, no defaults again.
    Settings again = load(messages);
    ApplyFirstRunDefaults(again);
    for (const SettingField& field : kSettingsTable)
        if (std::string_view(field.name) != kFirstRunMarkerName)
            CHECK_EQ(shown(again, field), shown(s, field));
    CHECK_EQ(again.REGAPP, "INIT");
}

void allValuesRoundTrip() {
    deleteKey();
    Messages messages;
    const Settings out = allChanged();
    save(out, messages);
    const Settings in = load(messages);
    CHECK(messages.texts.empty());
    for (const SettingField& field : kSettingsTable)
        CHECK_EQ(shown(in, field), shown(out, field));
    // 8-bit texts pass through the ANSI calls in the system's code page.
    CHECK(wideValue("TNAME1") == L"K\u00fchlraum");
    CHECK(wideValue("TLOG_PATH") == L"C:\\Daten\\T\u00e4glich\\termo.log");
    CHECK_EQ(rawValue("GL_COM")->bytes, std::string("\0\0\0\x80", 4));
    CHECK_EQ(rawValue("CHK_V300")->bytes, std::string("\1\0\0\0", 4));
}

// A numeric value that is missing or not a 32-bit integer ends the numeric block: it and
// every later one keep their values; earlier ones and the texts are loaded. No message.
void numericBlockStopsAtEachValue() {
    const Settings out = allChanged();
    const struct {
        const char* how;
        std::function<void(const char*)> spoil;
    } ways[] = {
        {"missing", [](const char* name) { deleteValue(name); }},
        {"text", [](const char* name) { setText(name, "1"); }},
        {"binary", [](const char* name) { setRaw(name, REG_BINARY, "\1\0\0\0", 4); }},
        {"64-bit", [](const char* name) { setRaw(name, REG_QWORD, "\1\0\0\0\0\0\0\0", 8); }},
    };
    for (const auto& way : ways) {
        for (const SettingField& stop : kSettingsTable) {
            if (isText(stop))
                continue;
            deleteKey();
            Messages messages;
            save(out, messages);
            way.spoil(stop.name);
            const Settings in = load(messages);
            CHECK(messages.texts.empty());
            bool reached = false;
            for (const SettingField& field : kSettingsTable) {
                reached = reached || &field == &stop;
                const Settings& expected = isText(field) || !reached ? out : Settings{};
                if (shown(in, field) != shown(expected, field))
                    std::printf("    %s %s:\n", way.how, stop.name);
                CHECK_EQ(shown(in, field), shown(expected, field));
            }
        }
    }
}

// A text of a type other than a string ends loading with the message: it and everything
// after it (all numbers too) keep their values.
void textOfAnotherTypeEndsLoading() {
    const Settings out = allChanged();
    const DWORD types[] = {REG_DWORD, REG_BINARY, REG_MULTI_SZ};
    for (const DWORD type : types) {
        for (const SettingField& stop : kSettingsTable) {
            if (!isText(stop))
                continue;
            deleteKey();
            Messages messages;
            save(out, messages);
            setRaw(stop.name, type, "\5\0\0\0", 4);
            const Settings in = load(messages);
            CHECK_EQ(messages.texts.size(), 1u);
            if (!messages.texts.empty())
                CHECK_EQ(messages.texts[0],
                         std::string("Ungültiger Datentyp für '") + stop.name + "'");
            bool reached = false;
            for (const SettingField& field : kSettingsTable) {
                reached = reached || &field == &stop;
                const Settings& expected = !reached ? out : Settings{};
                CHECK_EQ(shown(in, field), shown(expected, field));
            }
        }
    }
}

void typeRulesOfTheStore() {
    deleteKey();
    Messages messages;
    save(allChanged(), messages);
    // Either string type serves any text; an expandable one is not expanded.
    setText("TLOG_PATH", "C:\\plain.log", REG_SZ);
    setText("TNAME2", "%TEMP%", REG_EXPAND_SZ);
    // A text without its closing NUL, one with a NUL inside, and a missing one.
    setRaw("TNAME3", REG_SZ, "Ofen", 4);
    setRaw("TNAME4", REG_SZ, "Lag\0er", 7);
    deleteValue("TNAME5");
    // Any integer but 0 is true; integers are signed.
    setDword("CHK_V264", 5);
    setDword("ck_al_sf", 0x80000000u);
    setDword("LEV_ADR", 0xFFFFFFFFu);
    Settings start;
    start.TNAME5 = "TEMP 5";
    const Settings in = load(messages, start);
    CHECK(messages.texts.empty());
    CHECK_EQ(in.TLOG_PATH, "C:\\plain.log");
    CHECK_EQ(in.TNAME2, "%TEMP%");
    CHECK_EQ(in.TNAME3, "Ofen");
    CHECK_EQ(in.TNAME4, "Lag");
    CHECK_EQ(in.TNAME5, "");
    CHECK_EQ(in.CHK_V264, true);
    CHECK_EQ(in.ck_al_sf, true);
    CHECK_EQ(in.LEV_ADR, -1);

    // Saved back: booleans as 1, paths as expandable strings again.
    save(in, messages);
    CHECK(messages.texts.empty());
    CHECK_EQ(rawValue("CHK_V264")->bytes, std::string("\1\0\0\0", 4));
    CHECK_EQ(rawValue("ck_al_sf")->bytes, std::string("\1\0\0\0", 4));
    CHECK_EQ(rawValue("TLOG_PATH")->type, DWORD(REG_EXPAND_SZ));
    CHECK_EQ(rawValue("TNAME2")->type, DWORD(REG_SZ));
    CHECK_EQ(rawValue("TNAME5")->bytes, std::string("", 1));
}

void firstRunMarkerRules() {
    const Settings out = allChanged();
    Messages messages;

    // A marker in lower case is no marker: the defaults apply again.
    deleteKey();
    save(out, messages);
    setText("REGAPP", "init");
    Settings s = load(messages);
    ApplyFirstRunDefaults(s);
    CHECK_EQ(s.TERM_ADR, 17);
    CHECK_EQ(s.TNAME1, "TEMP 1");

    // Marker gone: the defaults cover all but the level logger and the level alarms.
    deleteValue("REGAPP");
    s = load(messages);
    ApplyFirstRunDefaults(s);
    CHECK_EQ(s.TNAME3, "TEMP 3");
    CHECK_EQ(s.TCHART_PATH, "C:\\");
    CHECK_EQ(s.CHK_TERMLOG, false);
    CHECK_EQ(s.GL_COM, 0);
    CHECK_EQ(s.CHK_LEVELLOG, true);
    CHECK_EQ(s.FRE_LEVEL, out.FRE_LEVEL);
    CHECK_EQ(s.lev_ck_al_sf, true);

    // Marker set and FRE_TERM gone: the later numbers stay at start, no defaults.
    save(out, messages);
    deleteValue("FRE_TERM");
    s = load(messages);
    ApplyFirstRunDefaults(s);
    CHECK_EQ(s.FRE_LEVEL, out.FRE_LEVEL);
    CHECK_EQ(s.FRE_TERM, 0);
    CHECK_EQ(s.TERM_ADR, 0);
    CHECK_EQ(s.TNAME1, out.TNAME1);
    CHECK(messages.texts.empty());
}

} // namespace

int main() {
    const struct {
        const char* name;
        void (*run)();
    } cases[] = {
        {"FirstRunOnAFreshProfile", firstRunOnAFreshProfile},
        {"AllValuesRoundTrip", allValuesRoundTrip},
        {"NumericBlockStopsAtEachValue", numericBlockStopsAtEachValue},
        {"TextOfAnotherTypeEndsLoading", textOfAnotherTypeEndsLoading},
        {"TypeRulesOfTheStore", typeRulesOfTheStore},
        {"FirstRunMarkerRules", firstRunMarkerRules},
    };
    int passed = 0, failed = 0;
    for (const auto& c : cases) {
        const int before = failedChecks;
        c.run();
        const bool ok = failedChecks == before;
        std::printf("[%s] %s\n", ok ? "  OK  " : " FAIL ", c.name);
        ++(ok ? passed : failed);
    }
    deleteKey();
    std::printf("registry store: %d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 ? 0 : 1;
}
