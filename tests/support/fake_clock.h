#pragma once

#include "platform/clock.h"

#include <functional>

// A clock tests set: a fixed time, or a function of their own. Installs itself for its
// lifetime; a nested one puts the outer one back when it goes.
class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime time = {}) : time(std::move(time)) {}
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    QDateTime time;
    std::function<QDateTime()> function; // used instead of `time` when set

    QDateTime now() override { return function ? function() : time; }

private:
    const ScopedInstall<Clock> installed_{clockSeam, *this};
};
