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

} // namespace

Seam<Clock> clockSeam(systemClock);
