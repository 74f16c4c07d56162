#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTime>

#include <cstdint>
#include <optional>

// What the two data loggers share: when a line is due, and how one line is appended.

// The hour, minute and second of the last line written in each mode; none until a line of
// that mode was written, so the first boundary after the start is never skipped.
struct LogSchedule {
    std::optional<int> lastHour;
    std::optional<int> lastMinute;
    std::optional<int> lastSecond;
};

// Whether a line is due at `time` for the interval setting (0 once an hour, at minute and
// second 0; 1 once a minute, at second 0; 2 once a second; any other value: never). A due
// line is noted in `schedule` at once, so one hour, minute or second gets one line.
bool LogLineDue(LogSchedule& schedule, std::int32_t interval, const QTime& time);

struct LogAppend {
    enum class Status { Ok, OpenFailed, WriteFailed };
    Status status = Status::Ok;
    QString error; // the system's reason when not Ok
};

// Appends `line` and CR LF to the file at `path`, opened and closed for this line alone. A
// missing file is created; an existing one is never emptied, and a path that is no plain
// file (a folder, a pipe, a device) or a file that refuses appending is an open failure.
// A write or close that fails cuts the file back to its length before the line, so no torn
// line stays behind and the lines before stay byte-identical.
LogAppend AppendLogLine(const QString& path, const QByteArray& line);

// The last line of the file at `path` without its line end, read from the file's last
// kLogTailBytes alone, so a file of any size costs one small read. Empty when there is no
// plain readable file, when it is empty, or when its last line is longer than that.
inline constexpr qint64 kLogTailBytes = 1024;
QByteArray LastLogLine(const QString& path);

// Whether two log lines carry the same date and time: the same bytes up to their second
// "  ,  ". Compared as text, not as times, so no locale or format is assumed: a line of
// another format or written under another locale never matches by accident.
bool SameLogStamp(QByteArrayView line, QByteArrayView other);
