#pragma once

#include "platform/seam.h"

#include <cstdint>

// The USBXpress interface of the receiver's USB-to-UART bridge: exactly the calls the USB
// link makes, with the library's names and statuses. Every call returns 0 on success.
// The link talks to whichever backend is installed (real CP210x bridges, the simulated
// receiver, or a test's fake) and to nothing else.

using SI_STATUS = std::int32_t;
using SI_HANDLE = void*;

inline constexpr SI_STATUS SI_SUCCESS = 0x00;
inline constexpr SI_STATUS SI_INVALID_HANDLE = 0x01;
inline constexpr SI_STATUS SI_READ_ERROR = 0x02;
inline constexpr SI_STATUS SI_INVALID_PARAMETER = 0x06;
inline constexpr SI_STATUS SI_DEVICE_IO_FAILED = 0x08;
inline constexpr SI_STATUS SI_DEVICE_NOT_FOUND = 0xFF;

// Options of SI_GetProductString.
inline constexpr std::uint32_t SI_RETURN_SERIAL_NUMBER = 0;
inline constexpr std::uint32_t SI_RETURN_DESCRIPTION = 1;

// Size of the buffer the link passes to SI_GetProductString: every backend writes at most
// this many bytes, the terminating NUL included.
inline constexpr int kProductStringSize = 200;

// The overlapped record passed to every SI_Read (five 32-bit fields, never examined).
struct SiOverlapped {
    std::uint32_t internal = 0;
    std::uint32_t internalHigh = 0;
    std::uint32_t offset = 0;
    std::uint32_t offsetHigh = 0;
    std::uint32_t event = 0;
};

class UsbXpress {
public:
    virtual ~UsbXpress() = default;

    virtual SI_STATUS SI_GetNumDevices(std::uint32_t* numDevices) = 0;
    // Writes a NUL-terminated text of at most kProductStringSize bytes into `buffer`.
    virtual SI_STATUS SI_GetProductString(std::uint32_t deviceNum, char* buffer,
                                          std::uint32_t options) = 0;
    virtual SI_STATUS SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) = 0;
    virtual SI_STATUS SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) = 0;
    virtual SI_STATUS SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit,
                                      std::uint8_t flushReceive) = 0;
    // Read and write time-outs in milliseconds, for every handle.
    virtual SI_STATUS SI_SetTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) = 0;
    virtual SI_STATUS SI_CheckRXQueue(SI_HANDLE handle, std::uint32_t* numBytesInQueue,
                                      std::uint32_t* queueStatus) = 0;
    virtual SI_STATUS SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead,
                              std::uint32_t* bytesReturned, SiOverlapped* overlapped) = 0;
};

// The backend in force: the platform's bridges unless another one was installed (the
// simulated receiver, a test's fake).
extern Seam<UsbXpress> usbXpressSeam;

inline UsbXpress& usbXpress() {
    return usbXpressSeam.get();
}
