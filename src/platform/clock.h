#pragma once

#include <QDateTime>

#include <functional>

// The time the loggers and record lines use; tests set it.
QDateTime Now();
// Replaces the clock; an empty function puts the system clock back.
void SetClock(std::function<QDateTime()> clock);
