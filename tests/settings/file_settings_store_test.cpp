#include "settings/file_settings_store.h"

#include "platform/atomic_file.h"
#include "settings/settings_io.h"
#include "support/file_faults.h"
#include "support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <random>
#include <string_view>

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
        {"TNAME8", Type::String, "\xEF\xBB\xBFNord", 0},
        {"TNAME7", Type::String, "\xEF\xBB\xBFzwei\nZeilen", 0},
        {"TCHART_PATH", Type::ExpandString, "\xEF\xBB\xBF/tmp", 0},
        {"zwei\nZeilen", Type::String, "Name mit Zeilenumbruch", 0},
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
    ASSERT_EQ(doc.values().size(), kSettingsCount);
    for (int i = 0; i < kSettingsCount; ++i)
        EXPECT_EQ(doc.values()[i].name, kSettingsTable[i].name);
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
// the file is kept aside without overwriting an earlier one; one notice names it.
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
        EXPECT_EQ(s.TNAME1, i == 0 ? "Nord" : "");
        EXPECT_EQ(s.TERM_ADR, 0);
        const QString aside = path() + (i == 0 ? ".bad" : ".bad2");
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("'" + aside.toStdString() + "'"), std::string::npos);
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
    EXPECT_EQ(messages[0], "Fehler beim Setzen der Daten für 'TLOG_PATH': Ist kein Verzeichnis");
}

TEST_F(FileSettingsStoreTest, FailedCommitLeavesTheOldFileIntact) {
    Settings old;
    old.TERM_ADR = 23;
    ASSERT_TRUE(saveAll(old).empty());
    const QByteArray before = readFile(path());

    Settings changed;
    changed.TERM_ADR = 31;
    FileSettingsStore store(path());
    store.setBeforeCommit([](AtomicFile& file) { file.cancel(); });
    std::vector<std::string> messages;
    SaveSettings(store, changed, [&](const std::string& m) { messages.push_back(m); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Fehler beim Setzen der Daten für 'TLOG_PATH': Vorgang abgebrochen");
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

namespace {

using Messages = std::vector<std::string>;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

Messages load(const QString& path, Settings& into) {
    FileSettingsStore store(path);
    Messages messages;
    LoadSettings(store, into, [&](const std::string& m) { messages.push_back(m); });
    return messages;
}

Messages save(const QString& path, const Settings& from, QString* saveError = nullptr) {
    FileSettingsStore store(path);
    Messages messages;
    SaveSettings(store, from, [&](const std::string& m) { messages.push_back(m); });
    if (saveError)
        *saveError = store.saveError();
    return messages;
}

bool sameSettings(const Settings& a, const Settings& b, bool withMarker = true) {
    for (const SettingField& field : kSettingsTable) {
        if (!withMarker && std::string_view(field.name) == kFirstRunMarkerName)
            continue;
        if (!std::visit([&](auto member) { return a.*member == b.*member; }, field.member))
            return false;
    }
    return true;
}

Settings changedSettings() {
    Settings s;
    s.TNAME1 = "Nord";
    s.TLOG_PATH = "/home/anna/t.log";
    s.TERM_ADR = 5;
    s.CHK_V300 = true;
    s.REGAPP = "INIT";
    return s;
}

const std::string kSetError = "Fehler beim Setzen der Daten für 'TLOG_PATH': ";

} // namespace

// Anything but a plain file of a sane size is not opened: a named pipe would block the
// start, a device never ends, a huge file would fill the memory. One message says so; the
// settings keep their start values (the first-run values follow); the file stays where
// and what it is, and nothing is saved over it.
TEST_F(FileSettingsStoreTest, SpecialFilesAreLeftAsTheyAre) {
    const QString elsewhere = scratch_.filePath("elsewhere");
    ASSERT_EQ(::mkfifo(QFile::encodeName(elsewhere).constData(), 0644), 0);
    const struct {
        const char* what;
        std::function<void()> make;
        const char* reason;
    } cases[] = {
        {"named pipe", [&] { ::mkfifo(QFile::encodeName(path()).constData(), 0644); },
         "keine gewöhnliche Datei"},
        {"link to a pipe", [&] { QFile::link(elsewhere, path()); }, "keine gewöhnliche Datei"},
        {"link to a device", [&] { QFile::link("/dev/zero", path()); }, "keine gewöhnliche Datei"},
        {"folder", [&] { QDir().mkpath(path()); }, "keine gewöhnliche Datei"},
        {"huge file",
         [&] {
             QFile file(path());
             file.open(QIODevice::WriteOnly);
             file.write("Windows Registry Editor Version 5.00\r\n");
             file.resize(kMaxSettingsFileBytes + 1); // sparse: no disk space taken
         },
         "die Datei ist größer als 1 MB"},
    };
    for (const auto& c : cases) {
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder());
        c.make();
        const QFileInfo before(path());
        ASSERT_TRUE(before.exists() || before.isSymLink()) << c.what;
        Settings loaded;
        const Messages messages = load(path(), loaded);
        ASSERT_EQ(messages.size(), 1u) << c.what;
        EXPECT_EQ(messages[0], "Fehler beim Lesen der Einstellungen aus '" + path().toStdString() +
                                   "': " + c.reason +
                                   ".\nEs gelten die Grundeinstellungen; beim Beenden wird "
                                   "nichts gespeichert.")
            << c.what;
        EXPECT_TRUE(sameSettings(loaded, Settings{})) << c.what;

        EXPECT_TRUE(save(path(), changedSettings()).empty()) << c.what;
        const QFileInfo after(path());
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << c.what;
        EXPECT_EQ(after.isDir(), before.isDir()) << c.what;
        EXPECT_EQ(after.isFile(), before.isFile()) << c.what;
        EXPECT_EQ(after.size(), before.size()) << c.what;
        EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                           QDir::NoDotAndDotDot),
                  QStringList{"settings.reg"})
            << c.what;
    }
}

// A file that cannot be read (no permission) is not damaged: nothing is loaded, nothing is
// saved, the file is left as it is, and one message says why. Root reads any file, so the
// trial runs in a child without root's rights.
TEST_F(FileSettingsStoreTest, UnreadableFileIsLeftAsItIs) {
    ASSERT_TRUE(save(path(), changedSettings()).empty());
    const QByteArray before = readFile(path());
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    for (const QString& dir : {scratch_.path(), folder()})
        ASSERT_TRUE(QFile::setPermissions(dir, QFileDevice::Permissions(0x7777)));
    const QString file = path();
    const ChildResult child = RunInChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return std::string("no unprivileged user");
        Settings loaded;
        Messages messages = load(file, loaded);
        const Messages saveMessages = save(file, Settings{});
        messages.insert(messages.end(), saveMessages.begin(), saveMessages.end());
        std::string report = sameSettings(loaded, Settings{}) ? "start values" : "loaded";
        for (const std::string& m : messages)
            report += "|" + m;
        return report;
    });
    ASSERT_TRUE(child.exited);
    if (child.output == "no unprivileged user")
        GTEST_SKIP() << "cannot give up root's rights here";
    EXPECT_EQ(child.output, "start values|Fehler beim Lesen der Einstellungen aus '" +
                                file.toStdString() +
                                "': Keine Berechtigung.\nEs gelten die Grundeinstellungen; beim "
                                "Beenden wird nichts gespeichert.");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(readFile(path()), before);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.reg"});
}

// A text the file cannot give back as it is (a NUL in it, bytes that are no text in the
// system's encoding) is refused when it is written: the save stops there with the store's
// message, the values before it are saved and the rest keep what the file held.
TEST_F(FileSettingsStoreTest, TextsTheFileCannotCarryAreRefused) {
    Settings old = changedSettings();
    old.TNAME3 = "alt";
    const std::string refused[] = {std::string("A\0B", 3), std::string("A\0", 2), "\xFF\xFE",
                                   "K\xC3", "\xED\xA0\x80"};
    for (const std::string& text : refused) {
        ASSERT_TRUE(save(path(), old).empty());
        Settings changed = old;
        changed.TNAME1 = "neu";
        changed.TNAME3 = text;
        changed.TERM_ADR = 9;
        EXPECT_EQ(save(path(), changed), Messages{"Fehler beim Setzen der Daten für 'TNAME3'"});
        Settings loaded;
        EXPECT_TRUE(load(path(), loaded).empty());
        EXPECT_EQ(loaded.TNAME1, "neu");
        EXPECT_EQ(loaded.TNAME3, "alt");
        EXPECT_EQ(loaded.TERM_ADR, 5);
    }
}

// A hand-edited file may lack the line break after its last line; that line is as good as
// any other, and the file is not damaged.
TEST_F(FileSettingsStoreTest, LastLineWithoutLineBreakIsRead) {
    const QByteArray text = "Windows Registry Editor Version 5.00\n\n"
                            "[HKEY_CURRENT_USER\\Velcor_Monidesk]\n"
                            "\"REGAPP\"=\"INIT\"\n"
                            "\"TNAME1\"=\"Nord\"";
    writeFile(text);
    Settings loaded;
    EXPECT_TRUE(load(path(), loaded).empty());
    EXPECT_EQ(loaded.TNAME1, "Nord");
    EXPECT_EQ(loaded.REGAPP, "INIT");
    EXPECT_EQ(readFile(path()), text);
    EXPECT_FALSE(QFile::exists(path() + ".bad"));
}

namespace {

// Texts of what the setup window and the file dialogs give: any characters, line breaks,
// quotes and backslashes, a leading U+FEFF; channel names no longer than the window takes.
std::string randomText(std::mt19937& random, int maxCharacters) {
    static const char* const kPieces[] = {
        "a",      "Z", "0", " ", "\\",       "\"",           "\r",           "\n",
        "\t",     "=", "[", "@", "\xC3\xBC", "\xE2\x82\xAC", "\xEF\xBB\xBF", "\xF0\x9F\x98\x80",
        "hex(2):"};
    std::string text;
    const int length = std::uniform_int_distribution<int>(0, maxCharacters)(random);
    for (int i = 0; i < length; ++i)
        text += kPieces[std::uniform_int_distribution<int>(0, std::size(kPieces) - 1)(random)];
    return text;
}

Settings randomSettings(std::mt19937& random) {
    Settings s;
    for (const SettingField& field : kSettingsTable) {
        std::visit(
            [&](auto member) {
                using V = std::remove_reference_t<decltype(s.*member)>;
                if constexpr (std::is_same_v<V, std::string>)
                    s.*member = randomText(random, std::string(field.name).starts_with("TNAME")
                                                       ? 1 // a piece may be two characters
                                                       : 30);
                else if constexpr (std::is_same_v<V, bool>)
                    s.*member = random() % 2;
                else
                    s.*member = std::int32_t(random());
            },
            field.member);
    }
    s.REGAPP = "INIT";
    return s;
}

} // namespace

// Seeded random settings survive a save and a load unchanged, and so does whatever a
// random, partly broken file gave: loaded, saved and loaded again it reads the same.
TEST_F(FileSettingsStoreTest, RandomSettingsSurviveSaveAndLoad) {
    std::mt19937 random(1208);
    for (int round = 0; round < 100; ++round) {
        const Settings saved = randomSettings(random);
        ASSERT_TRUE(save(path(), saved).empty()) << round;
        Settings loaded;
        ASSERT_TRUE(load(path(), loaded).empty()) << round;
        ASSERT_TRUE(sameSettings(loaded, saved)) << round;
    }
    for (int round = 0; round < 100; ++round) {
        QByteArray text = "Windows Registry Editor Version 5.00\r\n"
                          "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n";
        for (const SettingField& field : kSettingsTable) {
            const QByteArray name = QByteArray("\"") + field.name + "\"=";
            switch (random() % 5) {
            case 0:
                break; // missing
            case 1:
                text += name + "\"" + QByteArray::fromStdString(randomText(random, 12)) + "\"\r\n";
                break;
            case 2:
                text += name + QByteArray("dword:") + QByteArray::number(quint32(random()), 16) +
                        "\r\n";
                break;
            case 3:
                text += name + "hex(2):41,00,ef,bb,00,00\r\n";
                break;
            default:
                text += name + "hex:01\r\n";
                break;
            }
        }
        writeFile(text);
        Settings first;
        load(path(), first);
        ASSERT_TRUE(save(path(), first).empty()) << round << text.toStdString();
        Settings second;
        ASSERT_TRUE(load(path(), second).empty()) << round;
        ASSERT_TRUE(sameSettings(first, second, false)) << round << text.toStdString();
    }
}

// A full disk, for real: the save reports the store's message with the reason, the old
// settings.reg stays byte for byte and no temporary file is left. The small save fits in
// any write buffer (only its flush fails), the large one (a path as long as any) is many
// times larger.
TEST(FileSettingsStoreFaults, FullDiskKeepsTheOldSettings) {
    SmallTmpfs disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QString path = disk.path() + "/Velcor_Monidesk/settings.reg";
    ASSERT_TRUE(save(path, Settings{}).empty());
    const QByteArray before = bytesOf(path);
    ASSERT_TRUE(disk.fill());
    for (const std::size_t pathLength : {std::size_t(20), kMaxTextBytes}) {
        Settings changed = changedSettings();
        changed.TLOG_PATH = std::string(pathLength, 'p');
        QString reason;
        EXPECT_EQ(save(path, changed, &reason),
                  Messages{kSetError + "Kein freier Speicherplatz auf dem Gerät"})
            << pathLength;
        EXPECT_EQ(reason, "Kein freier Speicherplatz auf dem Gerät") << pathLength;
        EXPECT_EQ(bytesOf(path), before) << pathLength;
        EXPECT_EQ(FilesIn(disk.path() + "/Velcor_Monidesk"), QStringList{"settings.reg"});
    }
}

// A file-size limit, for real, in a child process: the save crosses it by a few hundred
// bytes, then by far.
TEST(FileSettingsStoreFaults, FileSizeLimitKeepsTheOldSettings) {
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.reg");
    ASSERT_TRUE(save(path, Settings{}).empty());
    const QByteArray before = bytesOf(path);
    for (const std::size_t pathLength : {std::size_t(20), kMaxTextBytes}) {
        Settings changed = changedSettings();
        changed.TLOG_PATH = std::string(pathLength, 'p');
        const ChildResult child = RunInChild(
            [&] {
                QString reason;
                const Messages messages = save(path, changed, &reason);
                return (messages.empty() ? "saved" : messages[0]) + "|" + reason.toStdString();
            },
            before.size() - 300);
        EXPECT_TRUE(child.exited) << pathLength;
        EXPECT_EQ(child.output, kSetError + "Datei zu groß|Datei zu groß") << pathLength;
        EXPECT_EQ(bytesOf(path), before) << pathLength;
        EXPECT_EQ(FilesIn(dir.path()), QStringList{"settings.reg"}) << pathLength;
    }
}
