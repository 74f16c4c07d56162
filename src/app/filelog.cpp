#include "app/filelog.h"

#include "level/level_state.h"
#include "level/levellog_line.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"
#include "platform/file_text.h"
#include "platform/locale_formats.h"
#include "settings/settings.h"
#include "temperature/temperature_state.h"
#include "temperature/termolog_line.h"

#include <QDir>

#include <algorithm>

DataLoggerState termoLogState(2);
DataLoggerState levelLogState(1);

void ResetLoggerState() {
    termoLogState = DataLoggerState(2);
    levelLogState = DataLoggerState(1);
}

std::optional<qint64> DataLoggerState::oldestReading() const {
    std::optional<qint64> oldest;
    for (int part = 0; part < parts; ++part) {
        const std::optional<qint64>& when = arrivedMs[static_cast<std::size_t>(part)];
        if (!when)
            return {};
        oldest = std::min(*when, oldest.value_or(*when));
    }
    return oldest;
}

void NoteLoggedReading(LoggedReading reading, const QDateTime& when) {
    const qint64 ms = when.toMSecsSinceEpoch();
    switch (reading) {
    case LoggedReading::Temperatures1To4:
        termoLogState.arrivedMs[0] = ms;
        break;
    case LoggedReading::Temperatures5To8:
        termoLogState.arrivedMs[1] = ms;
        break;
    case LoggedReading::Level:
        levelLogState.arrivedMs[0] = ms;
        break;
    }
}

namespace {

// A name ending in a separator names a folder wherever the program runs: "C:\", the
// first-run path, is no file on Windows and must be none elsewhere either.
bool NamesAFolder(const QString& path) {
    return path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}

QString TermoLoggerLine(const QDateTime& when) {
    return TermoLogLine(when, liveTemperatures);
}

QString LevelLogLine(const QDateTime& when) {
    return LevelLoggerLine(when, levelPercent, levelDistanceRaw, levelHeightRaw);
}

void ShowCreateError() {
    dialogs().message(nullptr, QStringLiteral("Fehler bei der Dateierstellung"));
}

// Brings the logger's feed up to `now` and notes when a pause begins and ends; true when the
// line may be written.
bool followFeed(DataLoggerState& state, const QDateTime& now) {
    // Milliseconds since the epoch: a turn converts its local time once, and a change of
    // daylight saving time neither shortens nor lengthens the silence.
    const std::optional<qint64> oldest = state.oldestReading();
    LoggerFeed feed = LoggerFeed::Waiting;
    if (oldest)
        feed = now.toMSecsSinceEpoch() - *oldest > kLoggerSilenceLimitMs ? LoggerFeed::Silent
                                                                         : LoggerFeed::Current;
    if (feed == LoggerFeed::Silent && state.feed != LoggerFeed::Silent) {
        state.pausedAt = now;
        state.resumedAt = {};
    } else if (feed == LoggerFeed::Current && state.feed == LoggerFeed::Silent) {
        // Resumed like a start: the first boundary from now on gets its line, also when its
        // second or minute is the one last written before the pause.
        state.resumedAt = now;
        state.schedule = {};
        state.checkedFile.clear();
    }
    state.feed = feed;
    state.turn = now;
    return feed == LoggerFeed::Current;
}

// Whether the logger's next line is its first into `path` since the start, a resumption or
// a change of file: only then can the file end with a line of the same stamp, written before
// a restart. Later lines are kept apart by the schedule, so the file's tail is read once.
bool firstLineInto(DataLoggerState& state, const QString& path) {
    if (state.checkedFile == path)
        return false;
    state.checkedFile = path;
    return true;
}

// A moment in a status text: its time, and its date before that when it is another day than
// the logger's last turn.
QString moment(const QDateTime& when, const QDateTime& turn) {
    const QString time = LongTime(when.time());
    return when.date() == turn.date() ? time : ShortDate(when.date()) + u' ' + time;
}

QString loggerStatus(const char* name, bool enabled, const DataLoggerState& state) {
    const QString prefix = QLatin1String(name) + QLatin1String(": ");
    if (!enabled)
        return prefix + QStringLiteral("aus");
    switch (state.feed) {
    case LoggerFeed::Waiting:
        return prefix + QStringLiteral("wartet auf Messwerte");
    case LoggerFeed::Silent:
        return prefix + QStringLiteral("angehalten – kein Telegramm seit ") +
               moment(QDateTime::fromMSecsSinceEpoch(state.oldestReading().value_or(0)),
                      state.turn);
    case LoggerFeed::Current:
        break;
    }
    if (!state.resumedAt.isValid())
        return prefix + QStringLiteral("schreibt");
    // The gap the last pause left in the file.
    return prefix +
           QStringLiteral("schreibt, Lücke %1 – %2")
               .arg(moment(state.pausedAt, state.turn), moment(state.resumedAt, state.turn));
}

} // namespace

QString TermoLogStatus() {
    return loggerStatus("TermoLog", settings.CHK_TERMLOG, termoLogState);
}

QString LevelLogStatus() {
    return loggerStatus("LevelLog", settings.CHK_LEVELLOG, levelLogState);
}

TfmFilelog::TfmFilelog(QObject* parent) : QObject(parent) {}

void TfmFilelog::WriteTermoLog() {
    if (writeLine(termoLogState, settings.CHK_TERMLOG, settings.FRE_TERM, settings.TLOG_PATH,
                  TermoLoggerLine)) {
        Q_EMIT termoLogSwitchedOff();
        ShowCreateError();
    }
}

void TfmFilelog::WriteLevelLog() {
    if (writeLine(levelLogState, settings.CHK_LEVELLOG, settings.FRE_LEVEL, settings.LLOG_PATH,
                  LevelLogLine)) {
        Q_EMIT levelLogSwitchedOff();
        ShowCreateError();
    }
}

bool TfmFilelog::writeLine(DataLoggerState& state, bool& enabled, std::int32_t interval,
                           const std::string& storedPath, LineBuilder line) {
    // One reading of the clock decides that the line is due and stamps it, so a slow open
    // never moves an hourly line off its boundary second.
    const QDateTime now = Now();
    // A boundary passed while no reading is at hand is not noted: a reading that arrives
    // later in the boundary's second still gets its line.
    if (!followFeed(state, now) || !LogLineDue(state.schedule, interval, now.time()))
        return false;
    // Interval and file are taken anew for every line.
    const QString path = FromStoredText(storedPath);
    const QByteArray text = ToFileText(line(now));
    LogAppend result;
    if (NamesAFolder(path))
        result.status = LogAppend::Status::OpenFailed;
    else if (firstLineInto(state, path) && SameLogStamp(text, LastLogLine(path)))
        return false; // the file ends with this stamp's line (a restart in the same second)
    else
        result = AppendLogLine(path, text);

    switch (result.status) {
    case LogAppend::Status::Ok:
        state.writeFailureReported = false;
        return false;
    case LogAppend::Status::WriteFailed:
        // The file is as it was before the line; the next due line tries again.
        if (!state.writeFailureReported) {
            state.writeFailureReported = true;
            ErrorReport::ReportLater(QStringLiteral("Fehler beim Schreiben der Datei %1: %2")
                                         .arg(QDir::toNativeSeparators(path), result.error));
        }
        return false;
    case LogAppend::Status::OpenFailed:
        break;
    }
    // Off before any box shows: ticks that run while it is open try no further line.
    enabled = false;
    state.checkedFile.clear();
    state.writeFailureReported = false;
    return true;
}
