#include "settings/fake_settings_store.h"
#include "settings/file_settings_store.h"
#include "settings/settings_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Type = StoredValue::Type;

bool sameValue(const Settings& a, const Settings& b, const SettingField& field) {
    return std::visit([&](auto member) { return a.*member == b.*member; }, field.member);
}

// Every value differs from its start value and from its first-run default.
Settings customSettings() {
    Settings s;
    int n = 0;
    for (const SettingField& field : kSettingsTable) {
        ++n;
        std::visit(
            [&](auto member) {
                using V = std::remove_reference_t<decltype(s.*member)>;
                if constexpr (std::is_same_v<V, std::string>)
                    s.*member = std::string(field.name).starts_with("TNAME")
                                    ? std::string("Küche ") + field.name[5] // 7 characters
                                    : std::string("Außen ") + field.name;
                else if constexpr (std::is_same_v<V, bool>)
                    s.*member = true;
                else
                    s.*member = 100 + n;
            },
            field.member);
    }
    s.REGAPP = "INIT";
    return s;
}

FakeSettingsStore storeHolding(const Settings& s) {
    FakeSettingsStore store;
    SaveSettings(store, s, {});
    store.writes.clear();
    store.opens = store.closes = 0;
    return store;
}

struct Messages {
    std::vector<std::string> shown;
    SettingsMessage callback() {
        return [this](const std::string& text) { shown.push_back(text); };
    }
};

int rowOf(const std::string& name) {
    auto it = std::find_if(kSettingsTable.begin(), kSettingsTable.end(),
                           [&](const SettingField& f) { return name == f.name; });
    return int(it - kSettingsTable.begin());
}

} // namespace

TEST(LoadSettings, ReadsBackWhatWasSaved) {
    const Settings saved = customSettings();
    FakeSettingsStore store = storeHolding(saved);
    Settings loaded;
    Messages messages;
    LoadSettings(store, loaded, messages.callback());
    for (const SettingField& field : kSettingsTable)
        EXPECT_TRUE(sameValue(loaded, saved, field)) << field.name;
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(store.closes, 1);
}

// A missing or non-integer value ends the numeric block: it and every later value keep
// their start values even when they are stored, and nothing is shown (a missing CHK_V264
// leaves CHK_V300 and GL_COM at false / 0 although both are stored).
TEST(LoadSettings, NumericBlockStopsSilentlyAtFirstMissingOrWrongTypedValue) {
    const Settings saved = customSettings();
    const Settings start;
    for (int row = kTextSettingsCount; row < kSettingsCount; ++row) {
        const std::string name = kSettingsTable[row].name;
        for (int breaker = 0; breaker < 3; ++breaker) {
            FakeSettingsStore store = storeHolding(saved);
            if (breaker == 0)
                store.remove(name);
            else if (breaker == 1)
                store.setText(name, "1");
            else
                store.setOther(name);
            Settings loaded;
            Messages messages;
            LoadSettings(store, loaded, messages.callback());
            for (int i = 0; i < kSettingsCount; ++i) {
                const SettingField& f = kSettingsTable[i];
                EXPECT_TRUE(sameValue(loaded, i < row ? saved : start, f))
                    << "broken " << name << " (" << breaker << "), checking " << f.name;
            }
            EXPECT_TRUE(messages.shown.empty());
        }
    }
}

// A text stored as another type than a string shows the message and ends loading: that
// text, the later texts and all numeric values keep what they held.
TEST(LoadSettings, TextOfWrongTypeShowsMessageAndStops) {
    const Settings saved = customSettings();
    Settings before;
    before.TLOG_PATH = "/before";
    before.TNAME8 = "before";
    before.CHK_LEVELLOG = true;
    before.TERM_ADR = 5;
    for (int row = 0; row < kTextSettingsCount; ++row) {
        const std::string name = kSettingsTable[row].name;
        for (const bool asDword : {true, false}) {
            FakeSettingsStore store = storeHolding(saved);
            if (asDword)
                store.setDword(name, 1);
            else
                store.setOther(name);
            Settings loaded = before;
            Messages messages;
            LoadSettings(store, loaded, messages.callback());
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0], "Ungültiger Datentyp für '" + name + "'");
            for (int i = 0; i < kSettingsCount; ++i) {
                const SettingField& f = kSettingsTable[i];
                EXPECT_TRUE(sameValue(loaded, i < row ? saved : before, f))
                    << "wrong type at " << name << ", checking " << f.name;
            }
            EXPECT_EQ(store.closes, 1);
        }
    }
}

TEST(LoadSettings, MissingOrEmptyTextsReadEmptyAndEitherStringTypeIsAccepted) {
    FakeSettingsStore store = storeHolding(customSettings());
    store.remove("TNAME3");
    store.setText("TNAME4", "");
    store.setText("TLOG_PATH", "/plain", Type::String);
    store.setText("TNAME1", "expand", Type::ExpandString);
    Settings loaded;
    LoadSettings(store, loaded, {});
    EXPECT_EQ(loaded.TNAME3, "");
    EXPECT_EQ(loaded.TNAME4, "");
    EXPECT_EQ(loaded.TLOG_PATH, "/plain");
    EXPECT_EQ(loaded.TNAME1, "expand");
    EXPECT_EQ(loaded.GL_COM, customSettings().GL_COM);
}

TEST(SettingsStore, KeyThatCannotBeOpenedIsSkippedSilently) {
    FakeSettingsStore store = storeHolding(customSettings());
    store.openFails = true;
    Settings loaded;
    Messages messages;
    LoadSettings(store, loaded, messages.callback());
    SaveSettings(store, customSettings(), messages.callback());
    for (const SettingField& field : kSettingsTable)
        EXPECT_TRUE(sameValue(loaded, Settings{}, field)) << field.name;
    EXPECT_TRUE(store.writes.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(store.closes, 0);
}

// A store that can say why it did not open (a settings file that cannot be read) says
// so once, at loading; the save skips it silently, as any store that does not open.
TEST(SettingsStore, StoreThatCannotBeOpenedSaysWhyOnceAtLoading) {
    FakeSettingsStore store = storeHolding(customSettings());
    store.openFails = true;
    store.openErrorText = "Fehler beim Lesen der Einstellungen";
    Settings loaded;
    Messages messages;
    LoadSettings(store, loaded, messages.callback());
    ASSERT_EQ(messages.shown, std::vector<std::string>{store.openErrorText});
    SaveSettings(store, customSettings(), messages.callback());
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(store.writes.empty());
    for (const SettingField& field : kSettingsTable)
        EXPECT_TRUE(sameValue(loaded, Settings{}, field)) << field.name;
}

// Texts load as the windows hold them: a channel name with as many characters as the
// setup window takes (UTF-16 units, never half a character), and no path or other text
// longer than any system takes (left out: cut, it would name another file).
TEST(LoadSettings, TextsAreBoundedAsTheWindowsHoldThem) {
    const std::string smiley = "\xF0\x9F\x98\x80"; // two UTF-16 units
    const std::string path(kMaxTextBytes, 'p');
    const struct {
        const char* name;
        std::string stored;
        std::string loaded;
    } cases[] = {
        {"TNAME1", "ABCDEFGH", "ABCDEFGH"},
        {"TNAME2", "ABCDEFGHI", "ABCDEFGH"},
        {"TNAME3",
         "K\xC3\xBC"
         "che S\xC3\xBC"
         "d",
         "K\xC3\xBC"
         "che S\xC3\xBC"},
        {"TNAME4", smiley + smiley + smiley + smiley + smiley, smiley + smiley + smiley + smiley},
        {"TNAME5", "1234567" + smiley, "1234567"},
        {"TNAME6", std::string(8'000'000, 'x'), "xxxxxxxx"},
        {"TNAME7", std::string(20, '\xFF'), std::string(8, '\xFF')},
        {"TNAME8", "", ""},
        {"TLOG_PATH", path, path},
        {"LLOG_PATH", path + "q", ""},
        {"REGAPP", "INIT" + std::string(kMaxTextBytes, ' '), ""},
    };
    FakeSettingsStore store = storeHolding(customSettings());
    for (const auto& c : cases)
        store.setText(c.name, c.stored);
    Settings loaded;
    LoadSettings(store, loaded, {});
    for (const auto& c : cases) {
        const SettingField& field = kSettingsTable[rowOf(c.name)];
        EXPECT_EQ(loaded.*std::get<std::string Settings::*>(field.member), c.loaded) << c.name;
    }
    EXPECT_EQ(loaded.GL_COM, customSettings().GL_COM);
}

TEST(FirstRun, FreshProfileGetsDefaultsAndSavesAllValuesInTableOrder) {
    FakeSettingsStore store;
    Settings s;
    LoadSettings(store, s, {});
    EXPECT_EQ(s.TNAME3, "");
    ApplyFirstRunDefaults(s);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(s.channelName(n), "TEMP " + std::to_string(n));
    for (const std::string* path : {&s.TLOG_PATH, &s.LLOG_PATH, &s.TCHART_PATH, &s.LCHART_PATH})
        EXPECT_EQ(*path, "C:\\");
    EXPECT_EQ(s.TERM_ADR, 17);
    EXPECT_EQ(s.LEV_ADR, 0);
    EXPECT_EQ(s.GL_COM, 0);
    EXPECT_EQ(s.REGAPP, "");

    Messages messages;
    SaveSettings(store, s, messages.callback());
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(store.writes.size(), std::size_t(kSettingsCount));
    for (int i = 0; i < kSettingsCount; ++i) {
        const auto& w = store.writes[i];
        EXPECT_EQ(w.name, kSettingsTable[i].name);
        const Type expected = i < 4                    ? Type::ExpandString
                              : i < kTextSettingsCount ? Type::String
                                                       : Type::Dword;
        EXPECT_EQ(w.type, expected) << w.name;
    }
    EXPECT_EQ(store.writes[rowOf("REGAPP")].text, "INIT");
    EXPECT_EQ(store.writes[rowOf("TLOG_PATH")].text, "C:\\");
    EXPECT_EQ(store.writes[rowOf("TERM_ADR")].dword, 17);

    // The next start loads them and leaves them alone.
    Settings next;
    LoadSettings(store, next, {});
    next.TERM_ADR = 3; // as if the user had changed it in a former run
    ApplyFirstRunDefaults(next);
    EXPECT_EQ(next.TERM_ADR, 3);
}

TEST(FirstRun, MarkerMustReadExactlyINIT) {
    const std::pair<const char*, bool> cases[] = {
        {"INIT", false}, {"init", true}, {"Init", true}, {"INIT ", true}, {"", true}};
    for (const auto& [marker, applied] : cases) {
        Settings s = customSettings();
        s.REGAPP = marker;
        ApplyFirstRunDefaults(s);
        EXPECT_EQ(s.TERM_ADR == 17, applied) << '"' << marker << '"';
        EXPECT_EQ(s.REGAPP, marker);
    }
}

TEST(FirstRun, DeletedMarkerResetsAllButTheLevelLoggerAndLevelAlarms) {
    const Settings saved = customSettings();
    FakeSettingsStore store = storeHolding(saved);
    store.remove("REGAPP");
    Settings s;
    LoadSettings(store, s, {});
    ApplyFirstRunDefaults(s);
    for (const SettingField& field : kSettingsTable) {
        const bool kept = std::holds_alternative<KeepLoaded>(field.firstRun);
        if (std::string(field.name) == "REGAPP")
            EXPECT_EQ(s.REGAPP, "");
        else
            EXPECT_EQ(sameValue(s, saved, field), kept) << field.name;
    }
    EXPECT_TRUE(s.CHK_LEVELLOG);
    EXPECT_EQ(s.FRE_LEVEL, saved.FRE_LEVEL);
    EXPECT_TRUE(s.lev_ck_al_sf);
    EXPECT_FALSE(s.ck_al_sf);
    EXPECT_EQ(s.TNAME2, "TEMP 2");
}

TEST(FirstRun, MarkedKeyWithFreTermDeletedKeepsTermAdrZero) {
    FakeSettingsStore store = storeHolding(customSettings());
    store.remove("FRE_TERM");
    Settings s;
    LoadSettings(store, s, {});
    ApplyFirstRunDefaults(s);
    EXPECT_EQ(s.FRE_LEVEL, customSettings().FRE_LEVEL);
    EXPECT_EQ(s.FRE_TERM, 0);
    EXPECT_EQ(s.TERM_ADR, 0);
    EXPECT_FALSE(s.ck_al_led);
    EXPECT_EQ(s.TNAME1, customSettings().TNAME1);
}

TEST(SaveSettings, BooleansSaveAsZeroOrOneAndIntegersAsTheyAre) {
    FakeSettingsStore store = storeHolding(Settings{});
    store.setDword("CHK_LEVELLOG", 5);
    store.setDword("FRE_LEVEL", -7);
    store.setDword("ck_al_buz", -1);
    Settings s;
    LoadSettings(store, s, {});
    EXPECT_TRUE(s.CHK_LEVELLOG);
    EXPECT_TRUE(s.ck_al_buz);
    EXPECT_EQ(s.FRE_LEVEL, -7);
    s.REGAPP = "something else";
    SaveSettings(store, s, {});
    EXPECT_EQ(store.writes[rowOf("CHK_LEVELLOG")].dword, 1);
    EXPECT_EQ(store.writes[rowOf("ck_al_buz")].dword, 1);
    EXPECT_EQ(store.writes[rowOf("CHK_TERMLOG")].dword, 0);
    EXPECT_EQ(store.writes[rowOf("FRE_LEVEL")].dword, -7);
    EXPECT_EQ(store.writes[rowOf("REGAPP")].text, "INIT");
}

TEST(SaveSettings, StopsAtTheFirstRefusedWriteWithItsName) {
    for (const char* name : {"TLOG_PATH", "TNAME8", "REGAPP", "FRE_TERM", "GL_COM"}) {
        FakeSettingsStore store;
        store.failingWrites = {name, "GL_COM"};
        Messages messages;
        SaveSettings(store, customSettings(), messages.callback());
        ASSERT_EQ(store.writes.size(), std::size_t(rowOf(name))) << name;
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0],
                  std::string("Fehler beim Setzen der Daten für '") + name + "'");
        EXPECT_EQ(store.closes, 1);
    }
}

// A store that buffers its writes can lose all of them at close: that is reported for the
// first value of the save, once, never as success.
TEST(SaveSettings, LostCommitIsReportedForTheFirstValue) {
    for (const bool alsoRefused : {false, true}) {
        FakeSettingsStore store;
        store.closeFails = true;
        if (alsoRefused)
            store.failingWrites = {"FRE_TERM"};
        Messages messages;
        SaveSettings(store, customSettings(), messages.callback());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0], "Fehler beim Setzen der Daten für 'TLOG_PATH'");
    }
}

namespace {
struct FakeSource : SettingsStoreSource {
    FakeSettingsStore* last = nullptr;
    std::unique_ptr<SettingsStore> make() override {
        auto store = std::make_unique<FakeSettingsStore>();
        last = store.get();
        return store;
    }
};
} // namespace

TEST(UserSettingsStore, InstalledFactoryReplacesTheSettingsFile) {
    auto real = OpenUserSettingsStore();
    auto* file = dynamic_cast<FileSettingsStore*>(real.get());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->path(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/Velcor_Monidesk/settings.reg");

    FakeSource source;
    {
        const ScopedInstall<SettingsStoreSource> installed(settingsStoreSeam, source);
        auto fake = OpenUserSettingsStore();
        EXPECT_EQ(fake.get(), source.last);
    }
    EXPECT_NE(dynamic_cast<FileSettingsStore*>(OpenUserSettingsStore().get()), nullptr);
}
