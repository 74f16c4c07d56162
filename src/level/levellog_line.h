#pragma once

#include "chart/chart_file.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// The lines of the level subsystem, all ending in the word "LevelLog" and joined by "  ,  ":
// the chart record line of the level window (date, time, percentage) and the level data
// logger's line (date, time, percentage, distance and height in tenths of a centimetre).
// Both open as charts in the level window, which plots field 2.
inline constexpr char kLevelLogMarker[] = "LevelLog";
inline constexpr ChartFileFormat kLevelLogFormat{kLevelLogMarker, 2, 1};

QString LevelChartLine(const QDateTime& when, double percent, const QLocale& locale = QLocale());
QString LevelLoggerLine(const QDateTime& when, double percent, double distanceRaw, double heightRaw,
                        const QLocale& locale = QLocale());
