#pragma once

#include "chart/chart_file.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>

// The TermoLog line of a temperature sample, for the record store, the data logger and chart
// files: date, time, the eight temperatures with one decimal and the word "TermoLog".
inline constexpr char kTermoLogMarker[] = "TermoLog";

// Chart files and the data logger's files: lines ending in "TermoLog", the eight
// temperatures in fields 2 to 9.
inline constexpr ChartFileFormat kTermoLogFormat{kTermoLogMarker, 2, 8};

QString TermoLogLine(const QDateTime& when, const std::array<double, 8>& temperatures,
                     const QLocale& locale = QLocale());
