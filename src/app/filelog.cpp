#include "app/filelog.h"

#include "level/level_state.h"
#include "level/levellog_line.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/error_report.h"
#include "platform/file_text.h"
#include "settings/settings.h"
#include "temperature/temperature_state.h"
#include "temperature/termolog_line.h"

#include <QDir>

DataLoggerState termoLogState;
DataLoggerState levelLogState;

void ResetLoggerState() {
    termoLogState = {};
    levelLogState = {};
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

} // namespace

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
    if (!LogLineDue(state.schedule, interval, now.time()))
        return false;
    // Interval and file are taken anew for every line.
    const QString path = FromStoredText(storedPath);
    LogAppend result;
    if (NamesAFolder(path))
        result.status = LogAppend::Status::OpenFailed;
    else
        result = AppendLogLine(path, ToFileText(line(now)));

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
    state.writeFailureReported = false;
    return true;
}
