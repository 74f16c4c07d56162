#include "chart/log_file.h"

#include "support/file_faults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct Tick {
    QTime time;
    bool due;
};

struct DueCase {
    const char* name;
    std::int32_t interval;
    std::vector<Tick> ticks;
};

TEST(LogLineDue, OneLinePerBoundaryFromTheFirstOneOn) {
    const DueCase cases[] = {
        {"hourly, two ticks in the boundary second",
         0,
         {{QTime(12, 59, 59, 950), false},
          {QTime(13, 0, 0, 50), true},
          {QTime(13, 0, 0, 150), false},
          {QTime(13, 0, 1, 50), false},
          {QTime(14, 0, 0, 20), true}}},
        {"hourly, started at 23:30: midnight gets its line",
         0,
         {{QTime(23, 30, 0), false}, {QTime(0, 0, 0, 40), true}, {QTime(1, 0, 0), true}}},
        {"per minute, started at 10:59:30: 11:00 gets its line",
         1,
         {{QTime(10, 59, 30), false},
          {QTime(11, 0, 0, 10), true},
          {QTime(11, 0, 0, 900), false},
          {QTime(11, 0, 30), false},
          {QTime(11, 1, 0), true}}},
        {"per second, starting in second 0",
         2,
         {{QTime(9, 0, 0, 10), true},
          {QTime(9, 0, 0, 110), false},
          {QTime(9, 0, 1, 10), true},
          {QTime(9, 0, 3, 10), true}}}, // a second without a tick is not made up
        {"hour 13 again a day later is due again once",
         0,
         {{QTime(13, 0, 0), true}, {QTime(13, 0, 0, 500), false}}},
        {"an interval no item stands for never writes",
         3,
         {{QTime(0, 0, 0), false}, {QTime(13, 0, 0), false}}},
        {"negative interval", -1, {{QTime(0, 0, 0), false}}},
    };
    for (const DueCase& c : cases) {
        LogSchedule schedule;
        for (const Tick& tick : c.ticks)
            EXPECT_EQ(LogLineDue(schedule, c.interval, tick.time), tick.due)
                << c.name << " at " << tick.time.toString(u"HH:mm:ss.zzz").toStdString();
    }
}

TEST(LogLineDue, EachModeKeepsItsOwnLastValue) {
    LogSchedule schedule;
    EXPECT_TRUE(LogLineDue(schedule, 2, QTime(13, 0, 0)));
    // Switching to hourly in the same second still gets the hour's line, and back again.
    EXPECT_TRUE(LogLineDue(schedule, 0, QTime(13, 0, 0, 100)));
    EXPECT_FALSE(LogLineDue(schedule, 2, QTime(13, 0, 0, 200)));
    EXPECT_EQ(schedule.lastHour, 13);
    EXPECT_EQ(schedule.lastSecond, 0);
    EXPECT_FALSE(schedule.lastMinute.has_value());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

class AppendLogLineTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(AppendLogLineTest, CreatesAMissingFileAndAppendsToAnExistingOne) {
    const QString log = path("termo.log");
    ASSERT_EQ(AppendLogLine(log, "first").status, LogAppend::Status::Ok);
    ASSERT_EQ(AppendLogLine(log, "second").status, LogAppend::Status::Ok);
    EXPECT_EQ(readAll(log), QByteArray("first\r\nsecond\r\n"));
}

TEST_F(AppendLogLineTest, WhatIsNoPlainWritableFileIsAnOpenFailure) {
    ASSERT_EQ(::mkfifo(path("pipe").toLocal8Bit().constData(), 0600), 0);
    const QString cases[] = {dir.path(), path("missing/folder/x.log"), path("pipe")};
    for (const QString& target : cases) {
        const LogAppend result = AppendLogLine(target, "line"); // a pipe must not block
        EXPECT_EQ(result.status, LogAppend::Status::OpenFailed) << target.toStdString();
        EXPECT_FALSE(result.error.isEmpty());
    }
}

TEST_F(AppendLogLineTest, AFileSizeLimitLeavesNoTornLine) {
    const QString log = path("level.log");
    ASSERT_EQ(AppendLogLine(log, "0123456789").status, LogAppend::Status::Ok);
    const QByteArray before = readAll(log);
    LogAppend result;
    {
        const FileSizeLimit limit(before.size() + 5);
        ASSERT_TRUE(limit.active());
        result = AppendLogLine(log, "a line that does not fit whole");
    }
    EXPECT_EQ(result.status, LogAppend::Status::WriteFailed);
    EXPECT_EQ(result.error, QStringLiteral("Datei zu groß"));
    EXPECT_EQ(readAll(log), before);
    EXPECT_EQ(AppendLogLine(log, "fits again").status, LogAppend::Status::Ok);
    EXPECT_EQ(readAll(log), before + "fits again\r\n");
}

TEST(AppendLogLineOnAFullDisk, NoTornLineAndLoggingResumesOnceSpaceIsFreed) {
    SmallTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QString log = disk.path() + QStringLiteral("/termo.log");
    // Twenty bytes short of a page: the next line starts in this page and needs another.
    ASSERT_EQ(AppendLogLine(log, QByteArray(4096 - 20 - 2, 'a')).status, LogAppend::Status::Ok);
    ASSERT_TRUE(disk.fill());
    const QByteArray before = readAll(log);

    const LogAppend result = AppendLogLine(log, QByteArray(50, 'b'));
    EXPECT_EQ(result.status, LogAppend::Status::WriteFailed);
    EXPECT_EQ(result.error, QStringLiteral("Kein freier Speicherplatz auf dem Gerät"));
    EXPECT_EQ(readAll(log), before);

    QFile::remove(disk.path() + QStringLiteral("/filler"));
    EXPECT_EQ(AppendLogLine(log, "after").status, LogAppend::Status::Ok);
    EXPECT_EQ(readAll(log), before + "after\r\n");
}

} // namespace
