#pragma once

#include "chart/log_file.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

class QDateTime;

// What a data logger keeps between its turns: the hour, minute and second it last wrote in
// each mode, and whether a failed write has been reported and no line has been written since.
struct DataLoggerState {
    LogSchedule schedule;
    bool writeFailureReported = false;
};

extern DataLoggerState termoLogState; // WriteTermoLog
extern DataLoggerState levelLogState; // WriteLevelLog

// Both loggers back to "nothing written yet" (tests; the program starts so).
void ResetLoggerState();

// The two data loggers, run by the poll tick while switched on. Each appends one line per
// hour, minute or second (its interval setting) to its file: the TermoLog line of the live
// temperatures, and the level line of the live level values.
//
// A file that can be neither appended to nor created switches the logger off (the setting
// first, then the switched-off signal for the setup window's box) and shows "Fehler bei der
// Dateierstellung" once. A write that fails after opening (a full disk) leaves no torn line,
// is reported once through the general error report, and logging goes on, so that it
// resumes by itself once the file takes lines again.
class TfmFilelog : public QObject {
    Q_OBJECT
public:
    explicit TfmFilelog(QObject* parent = nullptr);

    void WriteTermoLog();
    void WriteLevelLog();

Q_SIGNALS:
    // The logger switched itself off (CHK_TERMLOG / CHK_LEVELLOG is false already).
    void termoLogSwitchedOff();
    void levelLogSwitchedOff();

private:
    using LineBuilder = QString (*)(const QDateTime& when);
    // One turn of a logger; returns true when it switched itself off.
    static bool writeLine(DataLoggerState& state, bool& enabled, std::int32_t interval,
                          const std::string& storedPath, LineBuilder line);
};
