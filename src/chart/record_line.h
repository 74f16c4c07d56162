#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <span>

// The one text form of a recorded sample, shared by the record stores, the data loggers and
// the chart files: the date (short date), the time (long time), the values with one decimal
// ("." whatever the locale, no grouping) and the marker word ("TermoLog", "LevelLog"), joined
// by "  ,  ". No line end.
inline constexpr char kRecordSeparator[] = "  ,  ";

QString RecordLine(const QDateTime& when, std::span<const double> values, const char* marker,
                   const QLocale& locale = QLocale());
