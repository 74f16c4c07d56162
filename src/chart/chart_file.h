#pragma once

#include "platform/atomic_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <span>

// Reading and writing chart files: a record store's lines, one per line with CR LF, in the
// system's 8-bit encoding. The data loggers' files read the same way.

// What a chart file of one instrument holds: the word its lines end with and the fields
// that carry the plotted values.
struct ChartFileFormat {
    QByteArrayView marker; // "TermoLog", "LevelLog"
    int firstValueField = 2;
    int valueCount = 1;
};

// One line split into fields 0..20 the way the chart reader walks it: a comma advances
// the field number, spaces are dropped wherever they are, any other character is
// appended to the current field; the walk ends after the last character, after a CR
// (which stays in its field) or when the field number reaches 20.
class LineFields {
public:
    static constexpr int kMaxField = 20;

    void split(QByteArrayView line);
    // The final field number (the number of commas read).
    int last() const { return last_; }
    QByteArrayView field(int number) const;

private:
    std::vector<char> text_;
    std::array<std::uint32_t, kMaxField + 2> begin_{};
    int last_ = 0;
};

// A decimal number with "." whatever the locale; a sign and an exponent are accepted,
// nothing else (no spaces, no "inf" or "nan").
std::optional<double> ParseChartNumber(QByteArrayView text);

struct RebuildOutcome {
    int lastField = 0;      // final field number of the last line processed, 0 without lines
    bool notMarked = false; // stopped at a line whose final field is not the marker
};

using ChartPointSink = std::function<void(QByteArrayView labelUtf8, std::span<const double>)>;

// Turns the lines into chart points: the point label from fields 1 (time) and 0 (date), the
// values of the format's value fields. Stops at the first line whose final field is not the
// marker. A value field that is no number throws AppError("'<field>' is not a valid
// floating point value", the field shown readably); the points of the lines before it stay.
RebuildOutcome RebuildChartPoints(const std::vector<QByteArray>& lines,
                                  const ChartFileFormat& format, const ChartPointSink& addPoint);
// The same walk without drawing: whether every line would make a point (notMarked at the
// first that would not), throwing the same error for a value that is no number.
RebuildOutcome CheckChartLines(const std::vector<QByteArray>& lines, const ChartFileFormat& format);

// A chart line is about 100 bytes; a line beyond this is no chart file (a file without
// line breaks, say) and is not read into memory.
inline constexpr int kMaxChartLineBytes = 1024;

struct ChartFileRead {
    bool ok = false;               // false: the file could not be opened or read
    bool truncated = false;        // it holds more lines than were wanted
    int longLine = 0;              // number (from 1) of a line over kMaxChartLineBytes; ok false
    std::vector<QByteArray> lines; // without line ends, bytes as read
};

// Reads up to `maxLines` lines: split at LF, one trailing CR removed. Stops without
// lines at the first line longer than kMaxChartLineBytes.
ChartFileRead ReadChartFile(const QString& path, int maxLines);

// Writes the lines, each followed by CR LF, replacing `path` only when all of it reached the
// disk: a failure (a full disk, a size limit) leaves an existing file byte-identical.
AtomicWriteResult WriteChartFile(const QString& path, const std::vector<QByteArray>& lines);
