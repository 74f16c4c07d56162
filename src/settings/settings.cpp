#include "settings/settings.h"

Settings settings;

namespace {
using S = Settings;
constexpr auto Expand = SettingKind::ExpandString;
constexpr auto Text = SettingKind::String;
constexpr auto Flag = SettingKind::Bool;
constexpr auto Int = SettingKind::Int;
constexpr KeepLoaded Keep{};
// The first-run log and chart paths: the root folder of drive C (three characters).
constexpr const char* kRootPath = "C:\\";
} // namespace

const std::array<SettingField, kSettingsCount> kSettingsTable = {{
    {"TLOG_PATH", Expand, &S::TLOG_PATH, kRootPath},
    {"LLOG_PATH", Expand, &S::LLOG_PATH, kRootPath},
    {"TCHART_PATH", Expand, &S::TCHART_PATH, kRootPath},
    {"LCHART_PATH", Expand, &S::LCHART_PATH, kRootPath},
    {"TNAME1", Text, &S::TNAME1, "TEMP 1"},
    {"TNAME2", Text, &S::TNAME2, "TEMP 2"},
    {"TNAME3", Text, &S::TNAME3, "TEMP 3"},
    {"TNAME4", Text, &S::TNAME4, "TEMP 4"},
    {"TNAME5", Text, &S::TNAME5, "TEMP 5"},
    {"TNAME6", Text, &S::TNAME6, "TEMP 6"},
    {"TNAME7", Text, &S::TNAME7, "TEMP 7"},
    {"TNAME8", Text, &S::TNAME8, "TEMP 8"},
    {"REGAPP", Text, &S::REGAPP, Keep},
    {"CHK_LEVELLOG", Flag, &S::CHK_LEVELLOG, Keep},
    {"CHK_TERMLOG", Flag, &S::CHK_TERMLOG, 0},
    {"FRE_LEVEL", Int, &S::FRE_LEVEL, Keep},
    {"FRE_TERM", Int, &S::FRE_TERM, 0},
    {"lev_ck_al_led", Flag, &S::lev_ck_al_led, Keep},
    {"lev_ck_al_buz", Flag, &S::lev_ck_al_buz, Keep},
    {"lev_ck_al_out1", Flag, &S::lev_ck_al_out1, Keep},
    {"lev_ck_al_out2", Flag, &S::lev_ck_al_out2, Keep},
    {"lev_ck_al_sf", Flag, &S::lev_ck_al_sf, Keep},
    {"ck_al_led", Flag, &S::ck_al_led, 0},
    {"ck_al_buz", Flag, &S::ck_al_buz, 0},
    {"ck_al_out1", Flag, &S::ck_al_out1, 0},
    {"ck_al_out2", Flag, &S::ck_al_out2, 0},
    {"ck_al_sf", Flag, &S::ck_al_sf, 0},
    {"LEV_ADR", Int, &S::LEV_ADR, 0},
    {"TERM_ADR", Int, &S::TERM_ADR, 17},
    {"CHK_V264", Flag, &S::CHK_V264, 0},
    {"CHK_V300", Flag, &S::CHK_V300, 0},
    {"GL_COM", Int, &S::GL_COM, 0},
}};

std::string& Settings::channelName(int n) {
    std::string* names[] = {&TNAME1, &TNAME2, &TNAME3, &TNAME4, &TNAME5, &TNAME6, &TNAME7, &TNAME8};
    return *names[(n - 1) & 7];
}

const std::string& Settings::channelName(int n) const {
    return const_cast<Settings*>(this)->channelName(n);
}

void ResetSettings() {
    settings = Settings{};
}
