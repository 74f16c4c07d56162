// Saves of the settings file that cannot be done say why, and leave the old file as it was:
// a file the next start would refuse as too large. And the longest values the program
// holds fit the size limit.
#include "settings/file_settings_store.h"
#include "settings/settings_io.h"
#include "support/file_faults.h"
#include "support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
