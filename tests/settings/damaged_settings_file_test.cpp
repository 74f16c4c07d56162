// A settings file with lines that cannot be read: it is kept aside, what could be read is
// used with the usual load rules (a line that failed is a missing value), and one notice
// names the file kept aside and the first line that failed.
#include "settings/file_settings_store.h"
#include "settings/settings_io.h"
#include "support/file_faults.h"
#include "support/qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Messages = std::vector<std::string>;

const QByteArray kHead = "Windows Registry Editor Version 5.00\r\n\r\n"
                         "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n";

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

std::string notice(const QString& path, const std::string& what, const std::string& kept) {
    return "Die Einstellungsdatei '" + path.toStdString() + "' ist beschädigt.\n" + what + "\n" +
           kept + " Es gelten die lesbaren Werte, für die übrigen die Grundeinstellungen.";
}

} // namespace

TEST(DamagedSettingsFile, OneNoticeNamesTheFileKeptAsideAndTheFirstBadLine) {
    const QByteArray longBadLine = "\"TNAME1\"=\"a\tb\x01"
                                   "c\xE2\x80\xAE"
                                   "d" +
                                   QByteArray(100, 'x');
    const struct {
        const char* what;
        QByteArray file;
        std::string line; // what the notice says of the lines
        std::function<void(const Settings&)> check;
    } cases[] = {
        {"a bad number ends the numbers there, as a missing one does",
         kHead + "\"TLOG_PATH\"=\"/home/anna/t.log\"\r\n\"REGAPP\"=\"INIT\"\r\n"
                 "\"CHK_LEVELLOG\"=dword:00000001\r\n\"CHK_TERMLOG\"=dword:zz\r\n"
                 "\"FRE_LEVEL\"=dword:00000002\r\n\"TERM_ADR\"=dword:00000005\r\n",
         "Zeile 7 ist nicht lesbar: \"CHK_TERMLOG\"=dword:zz",
         [](const Settings& s) {
             EXPECT_EQ(s.TLOG_PATH, "/home/anna/t.log");
             EXPECT_EQ(s.REGAPP, "INIT");
             EXPECT_TRUE(s.CHK_LEVELLOG);
             EXPECT_EQ(s.FRE_LEVEL, 0);
             EXPECT_EQ(s.TERM_ADR, 0);
         }},
        {"a bad text is missing, even where an earlier line gave it; the lines after count",
         kHead + "\"TNAME2\"=\"alt\"\r\n\"TNAME2\"=\"S\xC3\xBC"
                 "d\r\n\"TNAME3\"=\"Ost\"\r\n"
                 "\"CHK_LEVELLOG\"=dword:00000001\r\n\"CHK_TERMLOG\"=dword:00000001\r\n",
         "Zeile 5 ist nicht lesbar: \"TNAME2\"=\"S\xC3\xBC"
         "d",
         [](const Settings& s) {
             EXPECT_EQ(s.TNAME2, "");
             EXPECT_EQ(s.TNAME3, "Ost");
             EXPECT_TRUE(s.CHK_LEVELLOG);
             EXPECT_TRUE(s.CHK_TERMLOG);
         }},
        {"control characters are shown escaped, a long line cut; later bad lines counted",
         kHead + longBadLine + "\r\n\"TNAME3\"=\"Ost\"\r\njunk\r\n",
         "Zeile 4 (und 1 weitere) ist nicht lesbar: \"TNAME1\"=\"a\\x09b\\x01c\\u202ed" +
             std::string(52, 'x') + "…",
         [](const Settings& s) {
             EXPECT_EQ(s.TNAME1, "");
             EXPECT_EQ(s.TNAME3, "Ost");
         }},
        {"after a broken key line the values belong to no known key",
         "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Velcor_Monidesk\r\n"
         "\"TLOG_PATH\"=\"/home/anna/t.log\"\r\n\"REGAPP\"=\"INIT\"\r\n",
         "Zeile 3 (und 2 weitere) ist nicht lesbar: [HKEY_CURRENT_USER\\Velcor_Monidesk",
         [](const Settings& s) {
             EXPECT_EQ(s.TLOG_PATH, "");
             EXPECT_EQ(s.REGAPP, "");
         }},
        {"a file without its header line is read all the same",
         "[HKEY_CURRENT_USER\\Velcor_Monidesk]\n\"TLOG_PATH\"=\"/home/anna/t.log\"\n",
         "Die Kopfzeile 'Windows Registry Editor Version 5.00' fehlt.",
         [](const Settings& s) { EXPECT_EQ(s.TLOG_PATH, "/home/anna/t.log"); }},
        {"an empty file", "", "Die Datei ist leer.",
         [](const Settings& s) { EXPECT_EQ(s.TLOG_PATH, ""); }},
    };
    QTemporaryDir scratch;
    const QString path = scratch.filePath("Velcor_Monidesk/settings.reg");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(scratch.filePath("Velcor_Monidesk")).removeRecursively();
        writeBytes(path, c.file);
        Settings loaded;
        EXPECT_EQ(load(path, loaded), Messages{notice(path, c.line,
                                                      "Sie wurde als '" + path.toStdString() +
                                                          ".bad' beiseitegelegt.")});
        c.check(loaded);
        EXPECT_EQ(bytesOf(path + ".bad"), c.file);
        EXPECT_FALSE(QFile::exists(path));
    }
}

// While the damaged file cannot be kept aside, the user is told so and no save replaces it:
// every name for a file kept aside is taken.
TEST(DamagedSettingsFile, IsNeverSavedOverWhileItCannotBeKeptAside) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath("settings.reg");
    for (int n = 1; n < 1000; ++n)
        writeBytes(path + ".bad" + (n == 1 ? QString() : QString::number(n)), "earlier");
    const QByteArray damaged = kHead + "\"TLOG_PATH\"=\"/home/anna/t.log\"\r\njunk\r\n";
    writeBytes(path, damaged);

    Settings loaded;
    EXPECT_EQ(load(path, loaded),
              Messages{notice(path, "Zeile 5 ist nicht lesbar: junk",
                              "Sie ließ sich nicht beiseitelegen (zu viele beiseitegelegte "
                              "Dateien) und bleibt, wie sie ist.")});
    EXPECT_EQ(loaded.TLOG_PATH, "/home/anna/t.log");
    EXPECT_EQ(save(path, loaded),
              Messages{"Fehler beim Setzen der Daten für 'TLOG_PATH': die beschädigte "
                       "Einstellungsdatei ließ sich nicht beiseitelegen: zu viele "
                       "beiseitegelegte Dateien"});
    EXPECT_EQ(bytesOf(path), damaged);
    EXPECT_EQ(bytesOf(path + ".bad"), "earlier");
    EXPECT_EQ(FilesIn(scratch.path()).size(), 1000);
}
