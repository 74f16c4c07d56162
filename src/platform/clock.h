#pragma once

#include "platform/seam.h"

#include <QDateTime>

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
