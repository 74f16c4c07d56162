#include "link/CP2102_USB.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include "link/cp210x_bridges.h"
#endif

namespace {

#ifndef Q_OS_LINUX
// Where no bridge backend exists (the USBXpress library is not part of this build), the
// link simply finds no device.
class NoBridges : public UsbXpress {
public:
    SI_STATUS SI_GetNumDevices(std::uint32_t* n) override {
        *n = 0;
        return SI_SUCCESS;
    }
    SI_STATUS SI_GetProductString(std::uint32_t, char*, std::uint32_t) override {
        return SI_DEVICE_NOT_FOUND;
    }
    SI_STATUS SI_Open(std::uint32_t, SI_HANDLE*) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS SI_SetBaudRate(SI_HANDLE, std::uint32_t) override { return SI_INVALID_HANDLE; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, std::uint8_t, std::uint8_t) override {
        return SI_INVALID_HANDLE;
    }
    SI_STATUS SI_SetTimeouts(std::uint32_t, std::uint32_t) override { return SI_SUCCESS; }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, std::uint32_t*, std::uint32_t*) override {
        return SI_INVALID_HANDLE;
    }
    SI_STATUS SI_Read(SI_HANDLE, void*, std::uint32_t, std::uint32_t* returned,
                      SiOverlapped*) override {
        *returned = 0;
        return SI_INVALID_HANDLE;
    }
};
#endif

// Made at the first use, so that a run on the simulated receiver never looks at the
// machine's bridges.
UsbXpress& platformBridges() {
#ifdef Q_OS_LINUX
    static Cp210xBridges bridges;
#else
    static NoBridges bridges;
#endif
    return bridges;
}

} // namespace

Seam<UsbXpress> usbXpressSeam(platformBridges);
