#pragma once

#include "chart/log_file.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The parts of the loggers' lines, each delivered by one kind of telegram: the TermoLog line
// holds channels 1 to 4 (telegram "0") and 5 to 8 (telegram "1"), the level line the values
// of one level telegram.
enum class LoggedReading { Temperatures1To4, Temperatures5To8, Level };

// Where arriving readings reach the loggers: called for every decoded telegram that carries
// logged values, with the time it arrived.
void NoteLoggedReading(LoggedReading reading, const QDateTime& when);

// A logger pauses while a part of its line has not arrived for longer than this. The
// transmitters send each telegram about once a second, but a slow one may send only every
// few minutes (monidesk-sim's slowest rate repeats a telegram every 400 s) and a radio link
// loses a transmission now and then: ten minutes still covers one lost telegram of a
// transmitter that sends every five minutes, so a healthy link never pauses, and it bounds
// how long a silent transmitter's last values would be written on.
inline constexpr qint64 kLoggerSilenceLimitMs = 10 * 60 * 1000;

// Whether a logger's line can be written: not before every part has arrived since the
// start, and not while a part is older than the silence limit.
enum class LoggerFeed { Waiting, Current, Silent };

// What a data logger keeps between its turns: the hour, minute and second it last wrote in
// each mode, whether a failed write has been reported and no line has been written since,
// when each part of its line last arrived, and its last pause.
struct DataLoggerState {
    explicit DataLoggerState(int parts = 1) : parts(parts) {}

    LogSchedule schedule;
    bool writeFailureReported = false;

    // 2 for the TermoLog line, 1 for the level line.
    int parts;
    // Per part, in milliseconds since the epoch; none until it arrived in this run.
    std::array<std::optional<qint64>, 2> arrivedMs;
    // As of the last turn, and that turn's time.
    LoggerFeed feed = LoggerFeed::Waiting;
    QDateTime turn;
    // The last pause; resumedAt is invalid while it lasts.
    QDateTime pausedAt, resumedAt;
    // The file whose last line was compared with the first line into it.
    QString checkedFile;

    // The oldest part's arrival; none while a part has not arrived yet.
    std::optional<qint64> oldestReading() const;
};

extern DataLoggerState termoLogState; // WriteTermoLog
extern DataLoggerState levelLogState; // WriteLevelLog

// Both loggers back to "nothing written yet, nothing arrived" (tests; the program starts so).
void ResetLoggerState();

// What the diagnose window shows of each logger: "TermoLog: schreibt", "… wartet auf
// Messwerte", "… angehalten – kein Telegramm seit 10:42:05", "… aus".
QString TermoLogStatus();
QString LevelLogStatus();

// The two data loggers, run by the poll tick while switched on. Each appends one line per
// hour, minute or second (its interval setting) to its file: the TermoLog line of the live
// temperatures, and the level line of the live level values. Only readings that arrived are
// written: no line before every part of it has arrived since the start, none while a part
// has been silent for longer than kLoggerSilenceLimitMs, and none whose date and time the
// file's last line carries already (a restart within the boundary's second).
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
