#include "level/levellog_line.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2026, 12, 7), QTime(10, 15, 30));
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(LevelLines, ChartAndLoggerLinesAsTheReaderTakesThem) {
    EXPECT_EQ(LevelChartLine(kWhen, 57, kGerman),
              QStringLiteral("07.12.2026  ,  10:15:30  ,  57.0  ,  LevelLog"));
    EXPECT_EQ(LevelLoggerLine(kWhen, 57, 1234, 987, kGerman),
              QStringLiteral("07.12.2026  ,  10:15:30  ,  57.0  ,  1234.0  ,  987.0  ,  LevelLog"));
    EXPECT_EQ(
        LevelLoggerLine(kWhen, 255, 655350, 0, QLocale(QLocale::English)),
        QStringLiteral("12/7/2026  ,  10:15:30 AM  ,  255.0  ,  655350.0  ,  0.0  ,  LevelLog"));
}

} // namespace
