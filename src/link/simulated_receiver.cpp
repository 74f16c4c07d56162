#include "link/simulated_receiver.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstring>

namespace {

std::int64_t monotonicMs() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

} // namespace

SimulatedReceiver::SimulatedReceiver(const StreamOptions& options, Clock clock, int intervalMs)
    : stream_(options), clock_(clock ? std::move(clock) : Clock(monotonicMs)),
      intervalMs_(std::max(intervalMs, 1)) {
    startMs_ = clock_();
    nextDueMs_ = startMs_ + intervalMs_;
}

void SimulatedReceiver::unplug() {
    plugged_ = false;
    handle_ = 0;
    queue_.clear();
}

void SimulatedReceiver::replug() {
    if (plugged_)
        return;
    plugged_ = true;
    nextDueMs_ = clock_() + intervalMs_;
}

void SimulatedReceiver::advance() {
    if (!plugged_)
        return;
    const std::int64_t now = clock_();
    if (now < nextDueMs_ || queue_.size() >= 12)
        return; // not due yet, or the last telegram still waits: the next one holds back
    queue_ += stream_.next(double(now - startMs_) / 1000.0);
    // After a long pause (a stalled reader) the pace starts afresh instead of catching up.
    nextDueMs_ = std::max(nextDueMs_ + intervalMs_, now + intervalMs_ / 2);
}

int SimulatedReceiver::queued() {
    advance();
    return static_cast<int>(queue_.size());
}

bool SimulatedReceiver::isCurrent(SI_HANDLE handle) const {
    return plugged_ && handle_ != 0 && reinterpret_cast<std::uintptr_t>(handle) == handle_;
}

SI_STATUS SimulatedReceiver::SI_GetNumDevices(std::uint32_t* numDevices) {
    *numDevices = plugged_ ? 1 : 0;
    return SI_SUCCESS;
}

SI_STATUS SimulatedReceiver::SI_GetProductString(std::uint32_t deviceNum, char* buffer,
                                                 std::uint32_t options) {
    if (!plugged_ || deviceNum != 0)
        return SI_DEVICE_NOT_FOUND;
    const char* text = options == SI_RETURN_DESCRIPTION ? kProduct : "SIM0001";
    std::strncpy(buffer, text, kProductStringSize - 1);
    buffer[kProductStringSize - 1] = '\0';
    return SI_SUCCESS;
}

SI_STATUS SimulatedReceiver::SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) {
    if (!plugged_ || deviceNum != 0)
        return SI_DEVICE_NOT_FOUND;
    handle_ = ++opens_;
    *handle = reinterpret_cast<SI_HANDLE>(handle_);
    return SI_SUCCESS;
}

SI_STATUS SimulatedReceiver::SI_SetBaudRate(SI_HANDLE handle, std::uint32_t) {
    return isCurrent(handle) ? SI_SUCCESS : SI_INVALID_HANDLE;
}

SI_STATUS SimulatedReceiver::SI_FlushBuffers(SI_HANDLE handle, std::uint8_t,
                                             std::uint8_t flushReceive) {
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    if (flushReceive)
        queue_.clear();
    return SI_SUCCESS;
}

SI_STATUS SimulatedReceiver::SI_SetTimeouts(std::uint32_t, std::uint32_t) {
    return SI_SUCCESS;
}

SI_STATUS SimulatedReceiver::SI_CheckRXQueue(SI_HANDLE handle, std::uint32_t* numBytesInQueue,
                                             std::uint32_t* queueStatus) {
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    advance();
    *numBytesInQueue = static_cast<std::uint32_t>(queue_.size());
    *queueStatus = queue_.isEmpty() ? 0 : 2; // SI_RX_READY
    return SI_SUCCESS;
}

SI_STATUS SimulatedReceiver::SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                                     std::uint32_t* bytesReturned, SiOverlapped*) {
    *bytesReturned = 0;
    if (!isCurrent(handle))
        return SI_INVALID_HANDLE;
    // Never waits: what is not queued yet is not returned.
    const auto n = std::min<qsizetype>(bytesToRead, queue_.size());
    std::memcpy(buffer, queue_.constData(), static_cast<std::size_t>(n));
    queue_.remove(0, n);
    *bytesReturned = static_cast<std::uint32_t>(n);
    return SI_SUCCESS;
}
