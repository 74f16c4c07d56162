// Saves of the settings file that cannot be done say why, and leave the old file as it was:
// a file the next start would refuse as too large, a read-only file system, a folder the
// user may not write to. And the longest values the program holds fit the size limit.
#include "settings/file_settings_store.h"
#include "settings/settings_io.h"
#include "support/file_faults.h"
#include "support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

namespace {

using Messages = std::vector<std::string>;

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

Messages load(const QString& path, Settings& into) {
    FileSettingsStore store(path);
    Messages messages;
    LoadSettings(store, into, [&](const std::string& m) { messages.push_back(m); });
    return messages;
}

Messages save(const QString& path, const Settings& from) {
    FileSettingsStore store(path);
    Messages messages;
    SaveSettings(store, from, [&](const std::string& m) { messages.push_back(m); });
    return messages;
}

Settings someSettings() {
    Settings s;
    s.TLOG_PATH = "/home/anna/t.log";
    s.CHK_TERMLOG = true;
    s.TERM_ADR = 5;
    s.REGAPP = "INIT";
    return s;
}

const std::string kSetError = "Fehler beim Setzen der Daten für 'TLOG_PATH': ";

} // namespace

// Every text as long as loading takes one, each with a line break (so written in hex, the
// longest form): the file stays under the limit and reads back. Channel names load cut.
TEST(SettingsFileLimit, LongestValuesFitAndReadBack) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath("settings.reg");
    Settings longest = someSettings();
    const std::string text = "\n" + std::string(kMaxTextBytes - 1, 'p');
    for (const SettingField& field : kSettingsTable)
        if (const auto* member = std::get_if<std::string Settings::*>(&field.member))
            longest.*(*member) = text;
    ASSERT_TRUE(save(path, longest).empty());
    EXPECT_LE(QFileInfo(path).size(), kMaxSettingsFileBytes);
    EXPECT_GT(QFileInfo(path).size(), 12 * 50'000); // twelve texts of about 52 KB, in hex

    Settings loaded;
    EXPECT_TRUE(load(path, loaded).empty());
    EXPECT_EQ(loaded.TLOG_PATH, text);
    EXPECT_EQ(loaded.LCHART_PATH, text);
    EXPECT_EQ(loaded.TNAME8, "\nppppppp");
    EXPECT_EQ(loaded.REGAPP, "INIT");
}

// A save that the next start would refuse is not made: the old file stays and the message
// says why. A path far longer than any, and a file of foreign values that is within the
// limit as UTF-8 but would be twice as large written as UTF-16.
TEST(SettingsFileLimit, SaveOverTheLimitKeepsTheOldFile) {
    QByteArray foreign = "Windows Registry Editor Version 5.00\n\n"
                         "[HKEY_CURRENT_USER\\Velcor_Monidesk]\n";
    for (int i = 0; foreign.size() < kMaxSettingsFileBytes * 6 / 10; ++i)
        foreign += "\"Notiz" + QByteArray::number(i) + "\"=\"" + QByteArray(100, 'n') + "\"\n";
    const struct {
        const char* what;
        QByteArray old;
        std::size_t pathLength;
    } cases[] = {
        {"a path of a million characters", {}, 1'000'000},
        {"foreign values", foreign, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir scratch;
        const QString path = scratch.filePath("settings.reg");
        if (c.old.isEmpty())
            ASSERT_TRUE(save(path, someSettings()).empty());
        else
            writeBytes(path, c.old);
        const QByteArray before = bytesOf(path);
        Settings loaded;
        ASSERT_TRUE(load(path, loaded).empty());
        loaded.TLOG_PATH = std::string(c.pathLength, 'p');
        EXPECT_EQ(save(path, loaded),
                  Messages{kSetError + "die Einstellungen wären größer als 1 MB"});
        EXPECT_EQ(bytesOf(path), before);
        EXPECT_EQ(FilesIn(scratch.path()), QStringList{"settings.reg"});
        Settings again;
        EXPECT_TRUE(load(path, again).empty()); // the old file is still read
    }
}

// A file system mounted read-only, for real: the save says so and changes nothing. A
// damaged file there cannot be kept aside: the notice says so and it stays as it is.
TEST(SettingsFileSaveReasons, ReadOnlyFileSystem) {
    SmallTmpfs disk(256);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QString whole = disk.path() + "/whole/settings.reg";
    const QString damaged = disk.path() + "/damaged/settings.reg";
    ASSERT_TRUE(save(whole, someSettings()).empty());
    // Header, blank and key lines, 32 values (the path in hex over two lines), a blank line:
    // the junk added is line 38.
    const QByteArray damagedBytes = bytesOf(whole) + QByteArray("j\0u\0n\0k\0", 8);
    writeBytes(damaged, damagedBytes);
    const QByteArray before = bytesOf(whole);
    ASSERT_EQ(::mount(nullptr, QFile::encodeName(disk.path()).constData(), nullptr,
                      MS_REMOUNT | MS_RDONLY, nullptr),
              0)
        << std::strerror(errno);

    Settings changed = someSettings();
    changed.TERM_ADR = 9;
    EXPECT_EQ(save(whole, changed), Messages{kSetError + "Dateisystem nur lesbar"});
    EXPECT_EQ(bytesOf(whole), before);

    Settings loaded;
    EXPECT_EQ(load(damaged, loaded),
              Messages{"Die Einstellungsdatei '" + damaged.toStdString() +
                       "' ist beschädigt.\nZeile 38 ist nicht lesbar: junk\nSie ließ sich "
                       "nicht beiseitelegen (Dateisystem nur lesbar) und bleibt, wie sie ist. "
                       "Es gelten die lesbaren Werte, für die übrigen die Grundeinstellungen."});
    EXPECT_EQ(loaded.TERM_ADR, 5);
    EXPECT_EQ(save(damaged, loaded),
              Messages{kSetError + "die beschädigte Einstellungsdatei ließ sich nicht "
                                   "beiseitelegen: Dateisystem nur lesbar"});
    EXPECT_EQ(bytesOf(damaged), damagedBytes);
}

// A folder the user may not write to, for real: root may write anywhere, so the save runs
// in a child without root's rights.
TEST(SettingsFileSaveReasons, FolderWithoutWritePermission) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath("Velcor_Monidesk/settings.reg");
    ASSERT_TRUE(save(path, someSettings()).empty());
    const QByteArray before = bytesOf(path);
    ASSERT_TRUE(QFile::setPermissions(scratch.path(), QFileDevice::Permissions(0x7555)));
    ASSERT_TRUE(QFile::setPermissions(scratch.filePath("Velcor_Monidesk"),
                                      QFileDevice::Permissions(0x5555)));
    const ChildResult child = RunInChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return std::string("no unprivileged user");
        Settings loaded;
        if (!load(path, loaded).empty() || loaded.TERM_ADR != 5)
            return std::string("not loaded");
        loaded.TERM_ADR = 9;
        const Messages messages = save(path, loaded);
        return messages.size() == 1 ? messages[0] : std::string("not one message");
    });
    QFile::setPermissions(scratch.filePath("Velcor_Monidesk"), QFileDevice::Permissions(0x7700));
    ASSERT_TRUE(child.exited);
    if (child.output == "no unprivileged user")
        GTEST_SKIP() << "cannot give up root's rights here";
    EXPECT_EQ(child.output, kSetError + "Keine Berechtigung");
    EXPECT_EQ(bytesOf(path), before);
}
