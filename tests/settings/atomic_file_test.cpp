#include "platform/atomic_file.h"

#include "support/file_faults.h"
#include "support/qt_print.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray readFile(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Lines of a chart-file-like text, `size` bytes in all.
QByteArray someLines(qsizetype size, char fill = 'n') {
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += QByteArray(38, fill) + "\r\n";
    bytes.truncate(size);
    return bytes;
}

// The sizes of the failure trials: a last piece far smaller than any write buffer, and
// a save many times larger than one.
constexpr qsizetype kSmallSave = 300;
constexpr qsizetype kLargeSave = 2 * 1024 * 1024;

} // namespace

TEST(AtomicFile, WritesNewFilesAndReplacesOldOnes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.txt");
    EXPECT_TRUE(WriteFileAtomically(path, "first\r\n").ok());
    EXPECT_EQ(readFile(path), "first\r\n");

    AtomicFile file(path);
    ASSERT_TRUE(file.open());
    EXPECT_EQ(QFileInfo(file.temporaryPath()).absolutePath(), dir.path());
    EXPECT_TRUE(file.write("sec"));
    EXPECT_TRUE(file.write(""));
    EXPECT_TRUE(file.write("ond\r\n"));
    EXPECT_EQ(readFile(path), "first\r\n"); // nothing replaced before the commit
    EXPECT_TRUE(file.commit());
    EXPECT_EQ(readFile(path), "second\r\n");
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"chart.txt"});

    EXPECT_TRUE(WriteFileAtomically(path, {}).ok());
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

// The file keeps what it was apart from its content: its permissions, and a symbolic
// link stays a link to the (replaced) file, a dangling one gets its file.
TEST(AtomicFile, KeepsPermissionsAndSymbolicLinks) {
    QTemporaryDir dir;
    const QString real = dir.filePath("real.txt");
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(writeFile(real, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(real, link));

    ASSERT_TRUE(WriteFileAtomically(link, "new").ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(real), "new");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    const QString dangling = dir.filePath("dangling.txt");
    ASSERT_TRUE(QFile::link(dir.filePath("later.txt"), dangling));
    ASSERT_TRUE(WriteFileAtomically(dangling, "made").ok());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("later.txt")), "made");
}

TEST(AtomicFile, TargetThatCannotBeCreatedFailsAtOpenWithTheReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    ASSERT_TRUE(QFile::link(dir.filePath("folder"), dir.filePath("to-folder")));
    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {dir.filePath("folder"), "Ist ein Verzeichnis"},
        {dir.filePath("to-folder"), "Ist ein Verzeichnis"},
        {dir.filePath("missing/chart.txt"), "Datei oder Verzeichnis nicht gefunden"},
    };
    for (const auto& c : cases) {
        const AtomicWriteResult result = WriteFileAtomically(c.path, "x");
        EXPECT_EQ(result.status, AtomicWriteResult::Status::CreateFailed) << c.path.toStdString();
        EXPECT_EQ(result.error, c.reason) << c.path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_EQ(FilesIn(dir.path()), (QStringList{"folder", "to-folder"}));
}

TEST(AtomicFile, AnUncommittedSaveLeavesTheTargetAndNoTemporary) {
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.reg");
    ASSERT_TRUE(writeFile(path, "old"));
    {
        AtomicFile dropped(path);
        ASSERT_TRUE(dropped.open());
        EXPECT_TRUE(dropped.write("new"));
    }
    AtomicFile cancelled(path);
    ASSERT_TRUE(cancelled.open());
    EXPECT_TRUE(cancelled.write("new"));
    cancelled.cancel();
    EXPECT_FALSE(cancelled.write("more"));
    EXPECT_FALSE(cancelled.commit());
    EXPECT_FALSE(cancelled.errorString().isEmpty());

    AtomicFile neverOpened(path);
    EXPECT_FALSE(neverOpened.write("x"));
    EXPECT_FALSE(neverOpened.commit());
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"settings.reg"});
}

// A killed save leaves its temporary file; the next save of that file removes it once it
// is a few minutes old. Anything else stays: a fresh temporary (another save may be
// writing it), temporaries of other files, and files the user named alike.
TEST(AtomicFile, RemovesOnlyItsOwnStaleTemporaries) {
    QTemporaryDir dir;
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds - 60);
    const struct {
        const char* name;
        bool old;
        bool removed;
    } files[] = {
        {"chart.txt.~monidesk-Ab3xZ9", true, true},
        {"chart.txt.~monidesk-000000", true, true},
        {"chart.txt.~monidesk-Fresh1", false, false},
        {"chart.txt.backup", true, false},
        {"chart.txt.bak", true, false},
        {"chart.txt.~monidesk-Ab3x", true, false},
        {"chart.txt.~monidesk-Ab3xZ9.txt", true, false},
        {"chart.txt.~monidesk-Ab3x-9", true, false},
        {"chart.txt.XXXXXX", true, false},
        {"other.txt.~monidesk-Ab3xZ9", true, false},
        {"Chart.txt.~monidesk-Ab3xZ9", true, false},
        {"chart.txt", true, false},
    };
    for (const auto& f : files) {
        const QString name = dir.filePath(f.name);
        ASSERT_TRUE(writeFile(name, f.name));
        if (f.old) {
            QFile file(name);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(stale.toLocalTime(), QFileDevice::FileModificationTime));
        }
    }
    // Not files of ours either: a folder and a link named like a temporary.
    ASSERT_TRUE(QDir(dir.path()).mkdir("chart.txt.~monidesk-Folder"));
    ASSERT_TRUE(
        QFile::link(dir.filePath("chart.txt.bak"), dir.filePath("chart.txt.~monidesk-Link01")));

    ASSERT_TRUE(WriteFileAtomically(dir.filePath("chart.txt"), "new").ok());
    for (const auto& f : files) {
        if (std::string(f.name) != "chart.txt") {
            EXPECT_EQ(QFile::exists(dir.filePath(f.name)), !f.removed) << f.name;
        }
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("chart.txt.~monidesk-Folder")).isDir());
    EXPECT_TRUE(QFileInfo(dir.filePath("chart.txt.~monidesk-Link01")).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("chart.txt.bak")), "chart.txt.bak");
}

// A full disk, for real: the old file stays byte for byte, the save says it failed and
// why, and no temporary file is left. The small save is smaller than any write buffer,
// so it fails only at the flush (a buffered writer would not notice).
TEST(AtomicFileFaults, FullDiskKeepsTheOldFile) {
    SmallTmpfs disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QString path = disk.path() + "/chart.txt";
    const QByteArray old = someLines(5000, 'o');
    ASSERT_TRUE(WriteFileAtomically(path, old).ok());
    ASSERT_TRUE(disk.fill());
    for (const qsizetype size : {kSmallSave, kLargeSave}) {
        const AtomicWriteResult result = WriteFileAtomically(path, someLines(size));
        EXPECT_EQ(result.status, AtomicWriteResult::Status::WriteFailed) << size;
        EXPECT_EQ(result.error, "Kein freier Speicherplatz auf dem Gerät") << size;
        EXPECT_EQ(readFile(path), old) << size;
        EXPECT_EQ(FilesIn(disk.path()), (QStringList{"chart.txt", "filler"})) << size;
    }
    // Written piece by piece, as the chart files are.
    AtomicFile file(path);
    ASSERT_TRUE(file.open());
    bool written = true;
    for (int i = 0; i < 100 && written; ++i)
        written = file.write(someLines(100));
    EXPECT_FALSE(written && file.commit());
    EXPECT_EQ(file.errorString(), "Kein freier Speicherplatz auf dem Gerät");
    EXPECT_EQ(readFile(path), old);
}

// A file-size limit, for real, in a child process: the save of 300 bytes crosses the
// limit by a few bytes, the 2 MB save by far.
TEST(AtomicFileFaults, FileSizeLimitKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.txt");
    const QByteArray old = someLines(5000, 'o');
    ASSERT_TRUE(writeFile(path, old));
    for (const qsizetype size : {kSmallSave, kLargeSave}) {
        const qsizetype limit = size == kSmallSave ? size - 20 : 1000;
        const ChildResult child = RunInChild(
            [&] {
                AtomicFile file(path);
                if (!file.open())
                    return std::string("open: ") + file.errorString().toStdString();
                // All but the last 50 bytes fit; the last piece crosses the limit.
                const QByteArray bytes = someLines(size);
                const bool ok = file.write(QByteArrayView(bytes).first(size - 50)) &&
                                file.write(QByteArrayView(bytes).sliced(size - 50)) &&
                                file.commit();
                return ok ? std::string("saved") : file.errorString().toStdString();
            },
            limit);
        EXPECT_TRUE(child.exited) << size;
        EXPECT_EQ(child.code, 0) << size;
        EXPECT_EQ(child.output, "Datei zu groß") << size;
        EXPECT_EQ(readFile(path), old) << size;
        EXPECT_EQ(FilesIn(dir.path()), QStringList{"chart.txt"}) << size;
    }
}

// A name as long as the folder takes (255 bytes) saves too: the temporary beside it is
// cut to fit, never inside a character, and a later save still knows it as its own.
TEST(AtomicFile, SavesUnderTheLongestNamesTheFolderTakes) {
    const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80"); // 4 bytes, 2 UTF-16 units
    const struct {
        const char* name;
        QString fileName;
        QString temporaryBase; // the longest start of the name that leaves room for the mark
    } cases[] = {
        {"ascii239", QString(235, u'c') + ".txt", QString(235, u'c') + ".tx"},
        {"ascii255", QString(251, u'c') + ".txt", QString(238, u'c')},
        {"umlauts255", "x" + QString(127, u'ä'), "x" + QString(118, u'ä')},
        {"smileys255", smiley.repeated(63) + "abc", smiley.repeated(59)},
    };
    const QString mark = QStringLiteral(".~monidesk-");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(c.fileName);
        ASSERT_LE(QFile::encodeName(c.fileName).size(), 255);
        const AtomicWriteResult first = WriteFileAtomically(path, "first\r\n");
        EXPECT_TRUE(first.ok()) << first.error.toStdString();

        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        const QString temporary = QFileInfo(file.temporaryPath()).fileName();
        EXPECT_TRUE(temporary.startsWith(c.temporaryBase + mark)) << temporary.toStdString();
        EXPECT_EQ(temporary.size(), c.temporaryBase.size() + mark.size() + 6);
        EXPECT_TRUE(file.write("second\r\n") && file.commit()) << file.errorString().toStdString();
        EXPECT_EQ(readFile(path), "second\r\n");

        // A killed save's temporary of this name is cleaned up; a name cut elsewhere is not ours.
        const QDateTime stale =
            QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds - 60);
        const QString ours = c.temporaryBase + mark + "Ab3xZ9";
        const QString& base = c.temporaryBase;
        const QString notOurs =
            base.chopped(base.back().isLowSurrogate() ? 2 : 1) + mark + "Ab3xZ9";
        for (const QString& name : {ours, notOurs}) {
            ASSERT_TRUE(writeFile(dir.filePath(name), "left"));
            QFile left(dir.filePath(name));
            ASSERT_TRUE(left.open(QIODevice::ReadWrite));
            ASSERT_TRUE(left.setFileTime(stale.toLocalTime(), QFileDevice::FileModificationTime));
        }
        EXPECT_TRUE(WriteFileAtomically(path, "third\r\n").ok());
        EXPECT_EQ(readFile(path), "third\r\n");
        QStringList expected{c.fileName, notOurs};
        expected.sort();
        EXPECT_EQ(FilesIn(dir.path()), expected);
    }
    // A name the folder does not take still fails where it did, at the start.
    QTemporaryDir dir;
    const AtomicWriteResult tooLong = WriteFileAtomically(dir.filePath(QString(256, u'c')), "x");
    EXPECT_EQ(tooLong.status, AtomicWriteResult::Status::CreateFailed);
    EXPECT_EQ(tooLong.error, "Dateiname zu lang");
}
