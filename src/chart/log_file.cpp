#include "chart/log_file.h"

#include "chart/record_line.h"
#include "platform/system_error.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace {

// The reason of the failure `file` just had, in the program's words; errno was cleared
// before the call, so a failure that set none gives Qt's text.
QString failureText(const QFile& file) {
    return errno != 0 ? SystemErrorText(errno) : file.errorString();
}

// Writes all of `bytes`; a short write is followed by another, so that a failure ends with
// the system's reason in the file's error string.
bool writeFully(QFile& file, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qint64 n = file.write(bytes.data(), bytes.size());
        if (n <= 0)
            return false;
        bytes = bytes.sliced(n);
    }
    return true;
}

// The date and time of a log line with the separator after them; empty when the line has
// fewer than three fields.
QByteArrayView stampOf(QByteArrayView line) {
    const QByteArrayView separator(kRecordSeparator);
    const qsizetype first = line.indexOf(separator);
    if (first < 0)
        return {};
    const qsizetype second = line.indexOf(separator, first + separator.size());
    return second < 0 ? QByteArrayView() : line.first(second + separator.size());
}

} // namespace

bool LogLineDue(LogSchedule& schedule, std::int32_t interval, const QTime& time) {
    std::optional<int>* last = nullptr;
    int now = 0;
    switch (interval) {
    case 0:
        if (time.minute() != 0 || time.second() != 0)
            return false;
        last = &schedule.lastHour;
        now = time.hour();
        break;
    case 1:
        if (time.second() != 0)
            return false;
        last = &schedule.lastMinute;
        now = time.minute();
        break;
    case 2:
        last = &schedule.lastSecond;
        now = time.second();
        break;
    default:
        return false;
    }
    if (*last == now)
        return false;
    *last = now;
    return true;
}

LogAppend AppendLogLine(const QString& path, const QByteArray& line) {
    LogAppend result;
    const QFileInfo info(path);
    QFile file(path);
    // Only plain files: a pipe would block the tick until a reader comes, a folder or a
    // device is no log. Append mode creates a missing file and never truncates.
    errno = 0;
    if ((info.exists() && !info.isFile()) ||
        !file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        result.status = LogAppend::Status::OpenFailed;
        result.error = failureText(file);
        return result;
    }
    const qint64 before = file.size();
    errno = 0;
    const bool written = writeFully(file, line + "\r\n") && file.flush();
    if (written) {
        file.close();
        if (file.error() == QFileDevice::NoError)
            return result;
    }
    result.status = LogAppend::Status::WriteFailed;
    result.error = failureText(file);
    // No torn line: back to the length the file had before this line.
    if (!file.isOpen())
        file.open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (file.isOpen()) {
        file.resize(before);
        file.close();
    } else {
        QFile::resize(path, before);
    }
    return result;
}

QByteArray LastLogLine(const QString& path) {
    // Only a plain file: opening a pipe for reading would block the tick until a writer came.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const qint64 start = std::max<qint64>(0, file.size() - kLogTailBytes);
    if (!file.seek(start))
        return {};
    QByteArray tail = file.read(kLogTailBytes);
    while (tail.endsWith('\n') || tail.endsWith('\r'))
        tail.chop(1);
    const qsizetype lineStart = tail.lastIndexOf('\n') + 1;
    if (lineStart == 0 && start > 0)
        return {}; // the line began before the tail
    return tail.sliced(lineStart);
}

bool SameLogStamp(QByteArrayView line, QByteArrayView other) {
    const QByteArrayView stamp = stampOf(line);
    return !stamp.isEmpty() && stamp == stampOf(other);
}
