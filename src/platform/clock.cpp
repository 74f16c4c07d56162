#include "platform/clock.h"

namespace {

class SystemClock final : public Clock {
public:
    QDateTime now() override { return QDateTime::currentDateTime(); }
};

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}

// The time of the tick that runs, if one runs (GUI thread only).
std::optional<QDateTime> tickTime;

} // namespace

Seam<Clock> clockSeam(systemClock);

TickTimeScope::TickTimeScope(const QDateTime& now) : previous_(tickTime) {
    tickTime = now;
}

TickTimeScope::~TickTimeScope() {
    tickTime = previous_;
}

QDateTime TickTime() {
    return tickTime ? *tickTime : Now();
}
