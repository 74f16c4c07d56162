// The outbox on real files: order and acknowledgement across reopening, a torn last entry,
// the bound, a full disk (a small tmpfs) and a writer killed with SIGKILL.
#include "net/outbox.h"

#include "support/file_faults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray Document(int i) {
    return QByteArray("{\"n\":") + QByteArray::number(i) + "}";
}

QStringList SegmentFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.seg")}, QDir::Files, QDir::Name);
}

// Every document still queued, in order.
QList<QByteArray> Queued(Outbox& outbox) {
    QList<QByteArray> documents;
    for (std::uint64_t n = outbox.first(); n < outbox.end(); ++n)
        documents.append(outbox.read(n).value_or("<damaged>"));
    return documents;
}

QList<QByteArray> Documents(int from, int to) {
    QList<QByteArray> documents;
    for (int i = from; i < to; ++i)
        documents.append(Document(i));
    return documents;
}

} // namespace

TEST(OutboxTest, KeepsEntriesInOrderUntilAcknowledgedAcrossReopening) {
    QTemporaryDir dir;
    {
        Outbox outbox(dir.path(), Outbox::kBound, 4);
        ASSERT_TRUE(outbox.open()) << outbox.error().toStdString();
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(outbox.append(Document(i)));
        EXPECT_EQ(Queued(outbox), Documents(0, 10));
        EXPECT_EQ(SegmentFiles(dir.path()).size(), 3);
        // Acknowledged out of order: 0..4 leave only when 4 has its predecessors.
        for (std::uint64_t n : {4, 1, 2, 0})
            outbox.acknowledge(n);
        EXPECT_EQ(outbox.first(), 3u);
        outbox.acknowledge(3);
        outbox.flush();
        EXPECT_EQ(outbox.first(), 5u);
        EXPECT_EQ(SegmentFiles(dir.path()).size(), 2); // entries 0..3 all gone
        outbox.acknowledge(6);
        outbox.flush();
    }
    Outbox reopened(dir.path(), Outbox::kBound, 4);
    ASSERT_TRUE(reopened.open());
    EXPECT_EQ(reopened.first(), 5u);
    EXPECT_EQ(Queued(reopened), Documents(5, 10)); // 6 waits for 5: sent again, never lost
    ASSERT_TRUE(reopened.append(Document(10)));
    EXPECT_EQ(reopened.read(10), Document(10));
}

// A program killed in the middle of an append, or a disk that filled, leaves the last entry
// short or wrong: it is cut off, everything before it stays, and appending goes on.
TEST(OutboxTest, CutsOffATornLastEntry) {
    struct Damage {
        const char* name;
        std::function<void(QFile&)> apply;
        int intact; // of 5
    };
    const Damage damages[] = {
        {"cut in the document", [](QFile& f) { f.resize(f.size() - 3); }, 4},
        {"cut in the frame", [](QFile& f) { f.resize(f.size() - Document(4).size() - 5); }, 4},
        {"a flipped byte",
         [](QFile& f) {
             f.seek(f.size() - 2);
             f.write("X");
         },
         4},
        {"stray bytes after",
         [](QFile& f) {
             f.seek(f.size());
             f.write("\x07\0\0", 3);
         },
         5},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        QTemporaryDir dir;
        {
            Outbox outbox(dir.path());
            ASSERT_TRUE(outbox.open());
            for (int i = 0; i < 5; ++i)
                ASSERT_TRUE(outbox.append(Document(i)));
        }
        QFile segment(dir.filePath(SegmentFiles(dir.path()).value(0)));
        ASSERT_TRUE(segment.open(QIODevice::ReadWrite));
        damage.apply(segment);
        segment.close();

        {
            Outbox reopened(dir.path());
            ASSERT_TRUE(reopened.open());
            EXPECT_EQ(Queued(reopened), Documents(0, damage.intact));
            ASSERT_TRUE(reopened.append(Document(99)));
        }
        Outbox again(dir.path());
        ASSERT_TRUE(again.open());
        EXPECT_EQ(Queued(again).value(damage.intact), Document(99));
    }
}

TEST(OutboxTest, GivesUpTheOldestPastItsBound) {
    QTemporaryDir dir;
    {
        Outbox outbox(dir.path(), 5, 2);
        ASSERT_TRUE(outbox.open());
        for (int i = 0; i < 8; ++i)
            ASSERT_TRUE(outbox.append(Document(i)));
        EXPECT_EQ(outbox.dropped(), 3u);
        EXPECT_EQ(Queued(outbox), Documents(3, 8));
    }
    Outbox reopened(dir.path(), 5, 2);
    ASSERT_TRUE(reopened.open());
    EXPECT_EQ(reopened.dropped(), 3u);
    EXPECT_EQ(Queued(reopened), Documents(3, 8));
}

// On a full disk an append fails whole, with the file named; what was stored stays, and once
// the broker has taken entries (their segments deleted) appending works again.
TEST(OutboxTest, FullDiskFailsAnAppendWithoutTearingAnything) {
    SmallTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QByteArray filler(1000, 'x');
    QList<QByteArray> stored;
    {
        Outbox outbox(disk.path(), Outbox::kBound, 8);
        ASSERT_TRUE(outbox.open());
        while (outbox.append(Document(int(stored.size())) + filler))
            stored.append(Document(int(stored.size())) + filler);
        EXPECT_EQ(outbox.failedAppends(), 1);
        EXPECT_TRUE(outbox.error().startsWith(QStringLiteral("Fehler beim Schreiben der Datei ")))
            << outbox.error().toStdString();
    }
    EXPECT_GT(stored.size(), 8);
    Outbox reopened(disk.path(), Outbox::kBound, 8);
    ASSERT_TRUE(reopened.open());
    EXPECT_EQ(Queued(reopened), stored);
    for (std::uint64_t n = 0; n < 16; ++n)
        reopened.acknowledge(n);
    reopened.flush();
    EXPECT_TRUE(reopened.append("after")) << reopened.error().toStdString();
    EXPECT_EQ(reopened.read(reopened.end() - 1), "after");
}

// A writer killed (SIGKILL) while it appends as fast as it can leaves only whole entries, in
// order, and every entry it reported stored.
TEST(OutboxTest, WriterKilledMidAppendLeavesOnlyWholeEntries) {
    QTemporaryDir dir;
    QProcess writer;
    writer.start(QStringLiteral(NET_STATION), {QStringLiteral("--append"), dir.path()});
    QByteArray said;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            writer.waitForReadyRead(10);
            said += writer.readAllStandardOutput();
            return said.count('\n') >= 3 || writer.state() == QProcess::NotRunning;
        },
        20'000));
    writer.kill();
    writer.waitForFinished();
    said += writer.readAllStandardOutput();
    const QList<QByteArray> lines = said.trimmed().split('\n');
    const int reported = lines.last().toInt();

    Outbox outbox(dir.path());
    ASSERT_TRUE(outbox.open()) << outbox.error().toStdString();
    EXPECT_GE(outbox.size(), reported);
    const QList<QByteArray> queued = Queued(outbox);
    for (int i = 0; i < queued.size(); ++i)
        ASSERT_EQ(queued.at(i), Document(i).leftJustified(200, ' ')) << i;
}
