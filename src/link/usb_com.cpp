#include "link/usb_com.h"

#include "link/simulated_receiver.h"
#include "link/telegram.h"

#include <QString>

#include <array>
#include <cstring>
#include <memory>

namespace {

// Counts the devices and, when there is one, shows it and opens and configures device 0.
// The statuses of these calls are not examined: a failed open shows in the queue check.
void openUsbReceiver(UsbXpress& usb) {
    std::uint32_t deviceCount = 0;
    if (usb.SI_GetNumDevices(&deviceCount) != SI_SUCCESS)
        deviceCount = 0;
    std::array<char, kProductStringSize> product{};
    usb.SI_GetProductString(0, product.data(), SI_RETURN_DESCRIPTION);
    if (deviceCount == 0)
        return;
    const auto length = ::strnlen(product.data(), product.size());
    linkIndicators->setDeviceNameText(QStringLiteral("NAME    : ") +
                                      QString::fromLocal8Bit(product.data(), length));
    linkIndicators->setDeviceCountText(QStringLiteral("DEVICES : %1").arg(deviceCount));
    usb.SI_Open(0, &usbHandle);
    usb.SI_SetBaudRate(usbHandle, 19200);
    usb.SI_FlushBuffers(usbHandle, 1, 1);
    usb.SI_SetTimeouts(500, 500);
    usbOpen = true;
}

void pollOpenReceiver(UsbXpress& usb) {
    std::uint32_t waiting = 0;
    std::uint32_t queueStatus = 0;
    if (usb.SI_CheckRXQueue(usbHandle, &waiting, &queueStatus) != SI_SUCCESS) {
        usbOpen = false; // the device is lost: open it again from the next tick on
        return;
    }
    std::uint32_t returned = 0;
    if (waiting == kTelegramSize) {
        linkIndicators->toggleDataStream();
        usb.SI_Read(usbHandle, rxTelegram.data(), kTelegramSize, &returned, &usbReadOverlapped);
        if (!AcceptTelegram(rxTelegram))
            usb.SI_FlushBuffers(usbHandle, 1, 1);
    } else if (waiting > kTelegramSize) {
        // More than one telegram: empty the queues and drop one more read's worth.
        usb.SI_FlushBuffers(usbHandle, 1, 1);
        std::array<std::uint8_t, kTelegramSize> scratch{};
        usb.SI_Read(usbHandle, scratch.data(), kTelegramSize, &returned, &usbReadOverlapped);
    }
}

} // namespace

void PollUsbReceiver() {
    linkIndicators->toggleScanUsb();
    UsbXpress& usb = usbXpress();
    if (!usbOpen)
        openUsbReceiver(usb);
    if (usbOpen)
        pollOpenReceiver(usb);
}

void UseSimulatedReceiver() {
    static const auto receiver = std::make_unique<SimulatedReceiver>();
    usbXpressSeam.install(receiver.get());
    usbOpen = false;
}
