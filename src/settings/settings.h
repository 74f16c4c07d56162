#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

// The program's 32 persistent values, each member named after its stored value name.
// Texts hold the 8-bit text as stored (the system's code page). This header and the
// settings logic use only standard C++, so they also build for a Windows registry backend.
struct Settings {
    std::string TLOG_PATH;
    std::string LLOG_PATH;
    std::string TCHART_PATH;
    std::string LCHART_PATH;
    std::string TNAME1 = "TEMP 1";
    std::string TNAME2 = "TEMP 2";
    std::string TNAME3 = "TEMP 3";
    std::string TNAME4 = "TEMP 4";
    std::string TNAME5 = "TEMP 5";
    std::string TNAME6 = "TEMP 6";
    std::string TNAME7 = "TEMP 7";
    std::string TNAME8 = "TEMP 8";
    std::string REGAPP;
    bool CHK_LEVELLOG = false;
    bool CHK_TERMLOG = false;
    std::int32_t FRE_LEVEL = 0;
    std::int32_t FRE_TERM = 0;
    bool lev_ck_al_led = false;
    bool lev_ck_al_buz = false;
    bool lev_ck_al_out1 = false;
    bool lev_ck_al_out2 = false;
    bool lev_ck_al_sf = false;
    bool ck_al_led = false;
    bool ck_al_buz = false;
    bool ck_al_out1 = false;
    bool ck_al_out2 = false;
    bool ck_al_sf = false;
    std::int32_t LEV_ADR = 0;
    std::int32_t TERM_ADR = 0;
    bool CHK_V264 = false;
    bool CHK_V300 = false;
    std::int32_t GL_COM = 0;

    // Name of channel n (1..8).
    std::string& channelName(int n);
    const std::string& channelName(int n) const;
};

// The program-wide settings (start values until LoadSettings runs).
extern Settings settings;

// How a value is stored: paths as expandable strings, other texts as plain strings,
// booleans and integers as 32-bit integers.
enum class SettingKind { ExpandString, String, Bool, Int };

using SettingMember =
    std::variant<std::string Settings::*, bool Settings::*, std::int32_t Settings::*>;

// What the first-run step gives a setting: a text, a number (booleans: 0 / 1), or
// nothing (KeepLoaded: the value stays as loading left it).
struct KeepLoaded {
    bool operator==(const KeepLoaded&) const = default;
};
using FirstRunDefault = std::variant<KeepLoaded, const char*, std::int32_t>;

struct SettingField {
    const char* name;
    SettingKind kind;
    SettingMember member;
    FirstRunDefault firstRun = KeepLoaded{};
};

// A channel name holds at most this many characters (UTF-16 units, as the setup window
// counts them).
inline constexpr int kChannelNameLength = 8;
// Paths and the other texts are longer than this only when the store was tampered with
// (no system takes such a path); loading leaves such a text out.
inline constexpr std::size_t kMaxTextBytes = 4096;

inline constexpr int kSettingsCount = 32;
inline constexpr int kTextSettingsCount = 13;

// Store order: it drives loading, saving and the defaults, and is part of the format
// (loading of the numeric block stops at the first missing value).
extern const std::array<SettingField, kSettingsCount> kSettingsTable;

// The first-run marker: REGAPP is always saved as "INIT"; while it does not read "INIT"
// exactly, the first-run defaults are applied after loading.
inline constexpr const char* kFirstRunMarkerName = "REGAPP";
inline constexpr const char* kFirstRunMarker = "INIT";

// Puts every setting back to its start value (tests; the program starts with them).
void ResetSettings();
