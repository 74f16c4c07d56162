#include "level/levellog_line.h"

#include "chart/record_line.h"

#include <array>

QString LevelChartLine(const QDateTime& when, double percent, const QLocale& locale) {
    return RecordLine(when, std::array<double, 1>{percent}, kLevelLogMarker, locale);
}

QString LevelLoggerLine(const QDateTime& when, double percent, double distanceRaw, double heightRaw,
                        const QLocale& locale) {
    return RecordLine(when, std::array<double, 3>{percent, distanceRaw, heightRaw}, kLevelLogMarker,
                      locale);
}
