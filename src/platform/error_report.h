#pragma once

#include <QString>

#include <functional>

// The general error report: one place that shows unexpected errors in a message box.
// At most one box is open at a time; an error that recurs while its box is open, or
// tick after tick, is counted instead of shown again.
namespace ErrorReport {

// Runs one poll tick. An error ends it and is reported; a tick that runs through ends
// a recurring error, so the next error is shown again. Returns whether it ran through.
bool RunTick(const std::function<void()>& tick);

// Runs a user's handler; each user action reports its own error afresh.
bool RunHandler(const std::function<void()>& handler);

// Shows (or counts) one error text.
void Report(const QString& text);

// Reports a text once control is back in the event loop, and after any box open then: for
// notices given from inside a tick's calls, where a box must not open.
void ReportLater(const QString& text);

// Errors counted but not shown since the program started.
int SuppressedCount();

// Forgets all state (tests).
void Reset();

} // namespace ErrorReport
