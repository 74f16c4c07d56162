#pragma once

#include "link/CP2102_USB.h"
#include "link/sim_stream.h"

#include <QByteArray>

#include <cstdint>
#include <functional>

// A USB receiver with the two simulated transmitters behind it (HeatSpan at address 17,
// TideSpan at address 0): one device whose queue receives the telegram stream at a few
// telegrams a second. A new transmission is queued only while less than one telegram
// waits, so a reader that polls faster sees at most 12 bytes, unless a burst was asked
// for. Time comes from a clock function in milliseconds, so tests step it.
class SimulatedReceiver : public UsbXpress {
public:
    using Clock = std::function<std::int64_t()>;

    static constexpr const char* kProduct = "Velcor USB Receiver (simulated)";

    // An empty clock means the monotonic system clock.
    explicit SimulatedReceiver(const StreamOptions& options = {}, Clock clock = {},
                               int intervalMs = 250);

    // Takes the device away (queue checks on its handle fail from now on) and back.
    void unplug();
    void replug();
    bool plugged() const { return plugged_; }

    // Bytes waiting in the device queue (after bringing the stream up to the clock).
    int queued();
    // Puts bytes in the queue as if the transmitters had sent them.
    void inject(const QByteArray& bytes) { queue_ += bytes; }

    SI_STATUS SI_GetNumDevices(std::uint32_t* numDevices) override;
    SI_STATUS SI_GetProductString(std::uint32_t deviceNum, char* buffer,
                                  std::uint32_t options) override;
    SI_STATUS SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) override;
    SI_STATUS SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) override;
    SI_STATUS SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit,
                              std::uint8_t flushReceive) override;
    SI_STATUS SI_SetTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) override;
    SI_STATUS SI_CheckRXQueue(SI_HANDLE handle, std::uint32_t* numBytesInQueue,
                              std::uint32_t* queueStatus) override;
    SI_STATUS SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                      std::uint32_t* bytesReturned, SiOverlapped* overlapped) override;

private:
    bool isCurrent(SI_HANDLE handle) const;
    void advance();

    TelegramStream stream_;
    Clock clock_;
    int intervalMs_;
    std::int64_t startMs_ = 0;
    std::int64_t nextDueMs_ = 0;
    QByteArray queue_;
    bool plugged_ = true;
    std::uintptr_t handle_ = 0; // handle of the open device; 0 = none
    std::uintptr_t opens_ = 0;
};
