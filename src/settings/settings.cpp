#include "settings/settings.h"

Settings settings;

namespace {
using S = Settings;
constexpr auto Expand = SettingKind::ExpandString;
constexpr auto Text = SettingKind::String;
constexpr auto Flag = SettingKind::Bool;
constexpr auto Int = SettingKind::Int;
} // namespace

const std::array<SettingField, kSettingsCount> kSettingsTable = {{
    {"TLOG_PATH", Expand, &S::TLOG_PATH},
    {"LLOG_PATH", Expand, &S::LLOG_PATH},
    {"TCHART_PATH", Expand, &S::TCHART_PATH},
    {"LCHART_PATH", Expand, &S::LCHART_PATH},
    {"TNAME1", Text, &S::TNAME1},
    {"TNAME2", Text, &S::TNAME2},
    {"TNAME3", Text, &S::TNAME3},
    {"TNAME4", Text, &S::TNAME4},
    {"TNAME5", Text, &S::TNAME5},
    {"TNAME6", Text, &S::TNAME6},
    {"TNAME7", Text, &S::TNAME7},
    {"TNAME8", Text, &S::TNAME8},
    {"REGAPP", Text, &S::REGAPP},
    {"CHK_LEVELLOG", Flag, &S::CHK_LEVELLOG},
    {"CHK_TERMLOG", Flag, &S::CHK_TERMLOG},
    {"FRE_LEVEL", Int, &S::FRE_LEVEL},
    {"FRE_TERM", Int, &S::FRE_TERM},
    {"lev_ck_al_led", Flag, &S::lev_ck_al_led},
    {"lev_ck_al_buz", Flag, &S::lev_ck_al_buz},
    {"lev_ck_al_out1", Flag, &S::lev_ck_al_out1},
    {"lev_ck_al_out2", Flag, &S::lev_ck_al_out2},
    {"lev_ck_al_sf", Flag, &S::lev_ck_al_sf},
    {"ck_al_led", Flag, &S::ck_al_led},
    {"ck_al_buz", Flag, &S::ck_al_buz},
    {"ck_al_out1", Flag, &S::ck_al_out1},
    {"ck_al_out2", Flag, &S::ck_al_out2},
    {"ck_al_sf", Flag, &S::ck_al_sf},
    {"LEV_ADR", Int, &S::LEV_ADR},
    {"TERM_ADR", Int, &S::TERM_ADR},
    {"CHK_V264", Flag, &S::CHK_V264},
    {"CHK_V300", Flag, &S::CHK_V300},
    {"GL_COM", Int, &S::GL_COM},
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
