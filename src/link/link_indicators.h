#pragma once

#include <QString>

// What the links show: implemented by the diagnose window, which installs itself in the
// seam linkIndicators (link_state.h).
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;
    virtual void toggleScanUsb() = 0;
    virtual void toggleScanCom() = 0;
    virtual void toggleDataStream() = 0;
    virtual void setDeviceCountText(const QString& text) = 0;
    virtual void setDeviceNameText(const QString& text) = 0;
};
