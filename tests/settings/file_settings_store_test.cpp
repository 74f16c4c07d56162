#include "settings/file_settings_store.h"
#include "settings/settings_io.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

namespace {

using Type = StoredValue::Type;

class FileSettingsStoreTest : public testing::Test {
protected:
    QTemporaryDir scratch_;
    QString folder() const { return scratch_.path() + "/Velcor_Monidesk"; }
    QString path() const { return folder() + "/settings.reg"; }

    void writeFile(const QByteArray& bytes) {
        QDir().mkpath(folder());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& name) const {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::vector<std::string> saveAll(const Settings& s) {
        FileSettingsStore store(path());
        std::vector<std::string> messages;
        SaveSettings(store, s, [&](const std::string& m) { messages.push_back(m); });
        return messages;
    }
};

} // namespace

TEST_F(FileSettingsStoreTest, EveryTypeRoundTripsThroughTheFile) {
    struct Case {
        std::string name;
        Type type;
        std::string text;
        std::int32_t dword;
    };
    const Case cases[] = {
        {"TNAME1", Type::String,
         "K\xC3\xBC"
         "che \"S\xC3\xBC"
         "d\" \\ 2",
         0},
        {"Au\xC3\x9F"
         "en",
         Type::String,
         "Au\xC3\x9F"
         "en",
         0},
        {"TNAME3", Type::String, "", 0},
        {"TNAME4", Type::String, "zwei\r\nZeilen", 0},
        {"TLOG_PATH", Type::ExpandString, "C:\\", 0},
        {"LLOG_PATH", Type::ExpandString,
         "/home/anna/Messwerte/K\xC3\xBChlhaus/Tank \"Nord\"/sehr/langer/Pfad/level.log", 0},
        {"LCHART_PATH", Type::ExpandString, "", 0},
        {"GL_COM", Type::Dword, {}, 4},
        {"LEV_ADR", Type::Dword, {}, -1},
        {"TERM_ADR", Type::Dword, {}, INT_MIN},
        {"FRE_TERM", Type::Dword, {}, INT_MAX},
    };
    FileSettingsStore writer(path());
    ASSERT_TRUE(writer.open());
    for (const Case& c : cases) {
        if (c.type == Type::String)
            EXPECT_TRUE(writer.writeString(c.name, c.text));
        else if (c.type == Type::ExpandString)
            EXPECT_TRUE(writer.writeExpandString(c.name, c.text));
        else
            EXPECT_TRUE(writer.writeDword(c.name, c.dword));
    }
    ASSERT_TRUE(writer.close());
    EXPECT_TRUE(readFile(path()).startsWith("\xFF\xFE"));

    FileSettingsStore reader(path());
    ASSERT_TRUE(reader.open());
    for (const Case& c : cases) {
        const StoredValue value = reader.read(c.name);
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.text, c.text) << c.name;
        EXPECT_EQ(value.dword, c.dword) << c.name;
    }
    EXPECT_EQ(reader.read("TNAME2").type, Type::Missing);
    EXPECT_TRUE(reader.close());
    EXPECT_TRUE(reader.setAsidePath().isEmpty());
}

// The whole program path: a fresh profile gets the defaults, the save writes all 32
// values in table order with REGAPP "INIT", and the next start reads them back.
TEST_F(FileSettingsStoreTest, FreshProfileIsSavedCompleteAndInOrder) {
    Settings first;
    FileSettingsStore loader(path());
    LoadSettings(loader, first, {});
    ApplyFirstRunDefaults(first);
    first.TNAME5 = "Au\xC3\x9F"
                   "en";
    EXPECT_TRUE(saveAll(first).empty());

    const RegDocument doc = ParseRegFile(readFile(path()));
    EXPECT_FALSE(doc.damaged);
    ASSERT_EQ(doc.values.size(), kSettingsCount);
    for (int i = 0; i < kSettingsCount; ++i)
        EXPECT_EQ(doc.values[i].name, kSettingsTable[i].name);
    EXPECT_EQ(doc.find("REGAPP")->text, "INIT");
    EXPECT_EQ(doc.find("TCHART_PATH")->type, Type::ExpandString);
    EXPECT_EQ(doc.find("TCHART_PATH")->text, "C:\\");
    EXPECT_EQ(doc.find("TERM_ADR")->type, Type::Dword);

    Settings second;
    FileSettingsStore reloader(path());
    LoadSettings(reloader, second, {});
    EXPECT_EQ(second.TNAME5, "Au\xC3\x9F"
                             "en");
    EXPECT_EQ(second.TERM_ADR, 17);
    EXPECT_EQ(second.REGAPP, "INIT");
}

TEST_F(FileSettingsStoreTest, SavingKeepsForeignValuesAndKeys) {
    writeFile("Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n"
              "\"Notiz\"=hex(7):41,00,00,00,00,00\r\n"
              "\"TERM_ADR\"=dword:00000005\r\n\r\n"
              "[HKEY_CURRENT_USER\\Velcor_Monidesk\\Alt]\r\n"
              "\"X\"=\"y\"\r\n");
    Settings s;
    s.TERM_ADR = 9;
    EXPECT_TRUE(saveAll(s).empty());
    const RegDocument doc = ParseRegFile(readFile(path()));
    EXPECT_EQ(doc.find("Notiz")->data, "hex(7):41,00,00,00,00,00");
    EXPECT_EQ(doc.find("TERM_ADR")->dword, 9u);
    EXPECT_TRUE(doc.otherSections.contains("\"X\"=\"y\""));
}

// A damaged file never stops loading: what can be read is used, the rest is missing, and
// the file is kept aside without overwriting an earlier one.
TEST_F(FileSettingsStoreTest, DamagedFileIsReadAsFarAsPossibleAndSetAside) {
    const QByteArray damaged[] = {
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n"
        "\"TNAME1\"=\"Nord\"\r\n\"TERM_ADR\"=dword:000",
        QByteArray("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\xff\xfe", 20),
    };
    QByteArray previous;
    for (int i = 0; i < 2; ++i) {
        writeFile(damaged[i]);
        Settings s;
        FileSettingsStore store(path());
        std::vector<std::string> messages;
        LoadSettings(store, s, [&](const std::string& m) { messages.push_back(m); });
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(s.TNAME1, i == 0 ? "Nord" : "");
        EXPECT_EQ(s.TERM_ADR, 0);
        const QString aside = path() + (i == 0 ? ".bad" : ".bad2");
        EXPECT_EQ(store.setAsidePath(), aside);
        EXPECT_EQ(readFile(aside), damaged[i]);
        EXPECT_FALSE(QFile::exists(path()));
    }
    EXPECT_EQ(readFile(path() + ".bad"), damaged[0]);
    EXPECT_TRUE(saveAll(Settings{}).empty());
    EXPECT_FALSE(ParseRegFile(readFile(path())).damaged);
}

// The folder cannot be made (a file stands in its place): the first value is refused and
// the save says so, and nothing pretends to have been saved.
TEST_F(FileSettingsStoreTest, UnwritableStoreReportsTheFirstValue) {
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Settings loaded;
    FileSettingsStore loader(path());
    LoadSettings(loader, loaded, {});
    const auto messages = saveAll(Settings{});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Fehler beim Setzen der Daten für 'TLOG_PATH'");
}

TEST_F(FileSettingsStoreTest, FailedCommitLeavesTheOldFileIntact) {
    Settings old;
    old.TERM_ADR = 23;
    ASSERT_TRUE(saveAll(old).empty());
    const QByteArray before = readFile(path());

    Settings changed;
    changed.TERM_ADR = 31;
    FileSettingsStore store(path());
    store.setBeforeCommit([](QSaveFile& file) { file.cancelWriting(); });
    std::vector<std::string> messages;
    SaveSettings(store, changed, [&](const std::string& m) { messages.push_back(m); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Fehler beim Setzen der Daten für 'TLOG_PATH'");
    EXPECT_EQ(readFile(path()), before);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"settings.reg"});
}

TEST_F(FileSettingsStoreTest, StoreDroppedWithoutCloseWritesNothing) {
    {
        FileSettingsStore store(path());
        ASSERT_TRUE(store.open());
        EXPECT_TRUE(store.writeDword("GL_COM", 1));
    }
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}
