#pragma once

#include "chart/chart_file.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>

// The one text form of a temperature sample, shared by the record store, the data
// logger and chart files: date, time, the eight temperatures with one decimal ("."
// whatever the locale) and the word "TermoLog", joined by "  ,  ". No line end.
inline constexpr char kTermoLogSeparator[] = "  ,  ";
inline constexpr char kTermoLogMarker[] = "TermoLog";

// Chart files and the data logger's files: lines ending in "TermoLog", the eight
// temperatures in fields 2 to 9.
inline constexpr ChartFileFormat kTermoLogFormat{kTermoLogMarker, 2, 8};

QString TermoLogLine(const QDateTime& when, const std::array<double, 8>& temperatures,
                     const QLocale& locale = QLocale());
