#include "chart/chart_file.h"
#include "platform/app_error.h"
#include "support/file_faults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kLine =
    "07.12.2026  ,  14:00:00  ,  21.5  ,  22.0  ,  150.0  ,  -3.4  ,  19.9  ,  "
    "20.1  ,  612.3  ,  0.0  ,  TermoLog";

constexpr ChartFileFormat kTermoLog{"TermoLog", 2, 8};
constexpr ChartFileFormat kLevelLog{"LevelLog", 2, 1};

struct Point {
    QByteArray label;
    std::vector<double> values;
};

struct Collected {
    std::vector<Point> points;
    RebuildOutcome outcome;
};

Collected rebuild(const std::vector<QByteArray>& lines, const ChartFileFormat& format = kTermoLog) {
    Collected c;
    c.outcome =
        RebuildChartPoints(lines, format, [&](QByteArrayView label, std::span<const double> v) {
            c.points.push_back({label.toByteArray(), std::vector<double>(v.begin(), v.end())});
        });
    return c;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct SplitCase {
    const char* line;
    int last;
    std::vector<const char*> fields;
};

TEST(LineFields, WalkCommasSpacesAndCr) {
    const SplitCase cases[] = {
        {"a  ,  b  ,  c", 2, {"a", "b", "c"}},
        {"", 0, {""}},
        {"  ", 0, {""}},
        {"Termo Log", 0, {"TermoLog"}},
        {"1,,2,", 3, {"1", "", "2", ""}},
        {"a,b\r,c,d", 1, {"a", "b\r"}}, // the CR ends the walk and stays in its field
        {"a\tb , c", 1, {"a\tb", "c"}}, // only spaces are dropped
        {"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21",
         20,
         {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9", "10",
          "11", "12", "13", "14", "15", "16", "17", "18", "19", ""}}, // stops as field 20 begins
    };
    LineFields fields;
    for (const auto& c : cases) {
        fields.split(QByteArray(c.line));
        EXPECT_EQ(fields.last(), c.last) << c.line;
        for (std::size_t i = 0; i < c.fields.size(); ++i)
            EXPECT_EQ(fields.field(static_cast<int>(i)), QByteArrayView(c.fields[i]))
                << c.line << " field " << i;
        EXPECT_TRUE(fields.field(c.last + 1).isEmpty());
    }
}

TEST(ChartNumber, AcceptsSignAndExponentOnly) {
    const std::pair<const char*, double> good[] = {
        {"21.5", 21.5},     {"-3.4", -3.4}, {"+7", 7}, {"1e3", 1000},
        {"-2.5E-1", -0.25}, {".5", 0.5},    {"5.", 5}, {"0", 0}};
    for (const auto& [text, value] : good) {
        const auto parsed = ParseChartNumber(QByteArrayView(text));
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_DOUBLE_EQ(*parsed, value) << text;
    }
    for (const char* bad : {"", "-", "+", "21,5", "abc", "1e", "+-1", "--1", "nan", "inf", "-inf",
                            "0x10", "1.2.3", "12a", "1e999"})
        EXPECT_FALSE(ParseChartNumber(QByteArrayView(bad)).has_value()) << bad;
}

TEST(RebuildPoints, LabelAndValuesFromEachLine) {
    const Collected c = rebuild({kLine, "1.1.2026,9:05:00 AM,1,2,3,4,5,6,7,8,TermoLog"});
    ASSERT_EQ(c.points.size(), 2u);
    EXPECT_EQ(c.points[0].label, QByteArray("            14:00:00 / 07.12.2026"));
    EXPECT_EQ(c.points[0].values,
              (std::vector<double>{21.5, 22.0, 150.0, -3.4, 19.9, 20.1, 612.3, 0.0}));
    // The space before AM is dropped like every other.
    EXPECT_EQ(c.points[1].label, QByteArray("            9:05:00AM / 1.1.2026"));
    EXPECT_EQ(c.outcome.lastField, 10);
    EXPECT_FALSE(c.outcome.notMarked);
}

struct MarkerCase {
    const char* name;
    const ChartFileFormat* format;
    std::vector<QByteArray> lines;
    std::size_t points;
    int lastField;
    bool notMarked;
};

TEST(RebuildPoints, StopsAtTheFirstLineWithoutTheMarker) {
    const QByteArray levelLine = "07.12.2026  ,  14:00:00  ,  45.2  ,  LevelLog";
    const QByteArray levelLoggerLine =
        "07.12.2026  ,  14:00:00  ,  57.0  ,  1234.0  ,  987.0  ,  LevelLog";
    const MarkerCase cases[] = {
        {"levelLogAsTermoLog", &kTermoLog, {levelLine}, 0, 3, true},
        {"noLines", &kTermoLog, {}, 0, 0, false},
        {"trailingEmptyLine", &kTermoLog, {kLine, kLine, ""}, 2, 0, true},
        {"spacedMarkerAndSeparators",
         &kTermoLog,
         {"d , t , 1 , 2 , 3 , 4 , 5 , 6 , 7 , 8 , Termo Log"},
         1,
         10,
         false},
        {"smallLetters", &kTermoLog, {kLine, "d,t,1,2,3,4,5,6,7,8,termolog", kLine}, 1, 10, true},
        {"moreFieldsEndingInTermoLog",
         &kTermoLog,
         {"d,t,1,2,3,4,5,6,7,8,x,y,TermoLog"},
         1,
         12,
         false},
        {"crInsideEndsTheLine", &kTermoLog, {"d,t,1,2,3,4,5,6,7,8,TermoLog\r"}, 0, 10, true},
        {"twentyCommas",
         &kTermoLog,
         {"d,t,1,2,3,4,5,6,7,8,a,b,c,d,e,f,g,h,i,j,TermoLog"},
         0,
         20,
         true},
        {"levelChartAndLoggerLines", &kLevelLog, {levelLine, levelLoggerLine}, 2, 5, false},
        {"termoLogAsLevelLog", &kLevelLog, {kLine}, 0, 10, true},
        {"spacedLevelMarker", &kLevelLog, {"a , b , 5 , Level Log"}, 1, 3, false},
        {"levellogSmall", &kLevelLog, {"a,b,5,levellog"}, 0, 3, true},
    };
    for (const auto& c : cases) {
        const Collected got = rebuild(c.lines, *c.format);
        EXPECT_EQ(got.points.size(), c.points) << c.name;
        EXPECT_EQ(got.outcome.lastField, c.lastField) << c.name;
        EXPECT_EQ(got.outcome.notMarked, c.notMarked) << c.name;
    }
    const Collected level = rebuild({"a , b , 5 , Level Log"}, kLevelLog);
    ASSERT_EQ(level.points.size(), 1u);
    EXPECT_EQ(level.points[0].label, QByteArray("            b / a"));
    EXPECT_EQ(level.points[0].values, std::vector<double>{5.0});
}

TEST(RebuildPoints, BadNumberThrowsWithTheFieldAndKeepsEarlierPoints) {
    std::vector<Point> points;
    const std::vector<QByteArray> lines{kLine, "d,t,1,2,3,4,x 1,6,7,8,TermoLog", kLine};
    try {
        RebuildChartPoints(lines, kTermoLog, [&](QByteArrayView label, std::span<const double> v) {
            points.push_back({label.toByteArray(), std::vector<double>(v.begin(), v.end())});
        });
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.text(), QStringLiteral("'x1' is not a valid floating point value"));
    }
    EXPECT_EQ(points.size(), 1u); // no half line either
}

class ChartFileTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(ChartFileTest, ReadSplitsAtLfAndDropsOneCr) {
    const std::pair<QByteArray, std::vector<QByteArray>> cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb\r\n\r\n", {"a", "b", ""}},
        {"a\nb", {"a", "b"}},
        {"a\r\r\nb\rc\r", {"a\r", "b\rc"}},
        {QByteArray("x\0y\r\n", 5), {QByteArray("x\0y", 3)}},
    };
    for (const auto& [bytes, lines] : cases) {
        writeAll(path("in.txt"), bytes);
        const ChartFileRead read = ReadChartFile(path("in.txt"), 100);
        EXPECT_TRUE(read.ok);
        EXPECT_FALSE(read.truncated);
        EXPECT_EQ(read.lines, lines) << bytes.toStdString();
    }
}

TEST_F(ChartFileTest, ReadStopsAtTheLimitAndSaysSoOnlyWhenMoreFollows) {
    writeAll(path("three.txt"), "1\r\n2\r\n3\r\n");
    ChartFileRead read = ReadChartFile(path("three.txt"), 3);
    EXPECT_FALSE(read.truncated);
    EXPECT_EQ(read.lines.size(), 3u);
    read = ReadChartFile(path("three.txt"), 2);
    EXPECT_TRUE(read.truncated);
    EXPECT_EQ(read.lines, (std::vector<QByteArray>{"1", "2"}));
    writeAll(path("extra.txt"), "1\r\n2\r\n\r\n");
    EXPECT_TRUE(ReadChartFile(path("extra.txt"), 2).truncated); // the empty third line counts
}

TEST_F(ChartFileTest, ReadRefusesOverlongLinesWithoutHoldingThem) {
    const QByteArray longest(kMaxChartLineBytes, 'x');
    const QByteArray tooLong(kMaxChartLineBytes + 1, 'x');
    const struct {
        const char* name;
        QByteArray bytes;
        int longLine; // 0: read
    } cases[] = {
        {"longestWithCrLf", "a\r\n" + longest + "\r\nb\r\n", 0},
        {"longestLastWithCr", longest + "\r", 0},
        {"tooLongSecond", "a\r\n" + tooLong + "\r\nb\r\n", 2},
        {"tooLongLast", "a\r\nb\r\n" + tooLong, 3},
        // a file without line breaks is given up after the first chunk, not read whole
        {"noLineBreaks", QByteArray(3 << 20, 'x'), 1},
    };
    for (const auto& c : cases) {
        writeAll(path("in.txt"), c.bytes);
        const ChartFileRead read = ReadChartFile(path("in.txt"), 100);
        EXPECT_EQ(read.ok, c.longLine == 0) << c.name;
        EXPECT_EQ(read.longLine, c.longLine) << c.name;
        if (c.longLine != 0) {
            EXPECT_TRUE(read.lines.empty()) << c.name;
        }
    }
}

TEST_F(ChartFileTest, ReadFailsForMissingDirectoryAndUnreadable) {
    EXPECT_FALSE(ReadChartFile(path("missing.txt"), 10).ok);
    EXPECT_FALSE(ReadChartFile(dir.path(), 10).ok);
    EXPECT_FALSE(ReadChartFile(QStringLiteral("/dev/zero"), 10).ok);
    // Opens fine, but reading from offset 0 of the own address space fails.
    EXPECT_FALSE(ReadChartFile(QStringLiteral("/proc/self/mem"), 10).ok);
}

TEST_F(ChartFileTest, WriteEndsEachLineWithCrLfAndReadsBackTheSame) {
    const std::vector<QByteArray> lines{kLine, "b\rc", "", "end\r"};
    ASSERT_EQ(WriteChartFile(path("out.txt"), lines).status, AtomicWriteResult::Status::Ok);
    EXPECT_EQ(readAll(path("out.txt")), kLine + "\r\nb\rc\r\n\r\nend\r\r\n");
    const ChartFileRead read = ReadChartFile(path("out.txt"), 100);
    EXPECT_EQ(read.lines, lines);
}

TEST_F(ChartFileTest, CreateFailsForDirectoryOrMissingFolder) {
    EXPECT_EQ(WriteChartFile(dir.path(), {kLine}).status, AtomicWriteResult::Status::CreateFailed);
    EXPECT_EQ(WriteChartFile(path("no/such/folder.txt"), {kLine}).status,
              AtomicWriteResult::Status::CreateFailed);
}

// Saves that do not fit, small ones (less than any write buffer) and large ones, on a full
// tmpfs and under a file-size limit: the old file stays byte-identical and the reason is
// the system's.
TEST_F(ChartFileTest, FailedWriteKeepsTheOldFileWhateverItsSize) {
    const QByteArray old = "old content\r\n";
    const std::size_t sizes[] = {40, 20000}; // lines: about 4.4 KB and 2 MB
    for (const std::size_t count : sizes) {
        SCOPED_TRACE(count);
        const std::vector<QByteArray> lines(count, kLine);
        writeAll(path("old.txt"), old);
        AtomicWriteResult limited;
        {
            const FileSizeLimit limit(1000);
            ASSERT_TRUE(limit.active());
            limited = WriteChartFile(path("old.txt"), lines);
        }
        EXPECT_EQ(limited.status, AtomicWriteResult::Status::WriteFailed);
        EXPECT_EQ(limited.error, QStringLiteral("Datei zu groß"));
        EXPECT_EQ(readAll(path("old.txt")), old);
        EXPECT_EQ(FilesIn(dir.path()), QStringList{QStringLiteral("old.txt")});

        SmallTmpfs disk(64);
        if (!disk.mounted())
            continue;
        const QString target = disk.path() + QStringLiteral("/chart.txt");
        writeAll(target, old);
        ASSERT_TRUE(disk.fill());
        const AtomicWriteResult full = WriteChartFile(target, lines);
        EXPECT_EQ(full.status, AtomicWriteResult::Status::WriteFailed);
        EXPECT_EQ(full.error, QStringLiteral("Kein freier Speicherplatz auf dem Gerät"));
        EXPECT_EQ(readAll(target), old);
        EXPECT_EQ(FilesIn(disk.path()),
                  (QStringList{QStringLiteral("chart.txt"), QStringLiteral("filler")}));
    }
}

} // namespace
