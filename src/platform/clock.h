#pragma once

#include "platform/seam.h"

#include <QDateTime>

#include <optional>

// The time the loggers and record lines use; tests install a clock of their own.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() = 0;
};

extern Seam<Clock> clockSeam;

inline QDateTime Now() {
    return clockSeam->now();
}

// The one clock reading of a poll tick: the tick takes it first, and every reading decoded
// in that tick carries it. A modal box opened inside a tick runs ticks of its own; each
// nested tick has its own time and puts the outer one back when it ends.
class TickTimeScope {
public:
    explicit TickTimeScope(const QDateTime& now);
    ~TickTimeScope();
    TickTimeScope(const TickTimeScope&) = delete;
    TickTimeScope& operator=(const TickTimeScope&) = delete;

private:
    std::optional<QDateTime> previous_;
};

// The time of the tick that runs; outside a tick (a test that feeds a telegram by hand),
// the clock's time now.
QDateTime TickTime();
