#include "chart/log_file.h"

#include "platform/system_error.h"

#include <QFile>
#include <QFileInfo>

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
