#include "link/usb_com.h"

#include "link/link_indicators.h"

LinkIndicators* linkIndicators = nullptr;

void PollUsbReceiver() {
    if (linkIndicators)
        linkIndicators->toggleScanUsb();
}

void UseSimulatedReceiver() {}
