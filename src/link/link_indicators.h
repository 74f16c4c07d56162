#pragma once

#include <QString>

// What the links show: implemented by the diagnose window. The links write through the
// program-wide pointer linkIndicators, which tests may leave null.
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;
    virtual void toggleScanUsb() = 0;
    virtual void toggleScanCom() = 0;
    virtual void toggleDataStream() = 0;
    virtual void setDeviceCountText(const QString& text) = 0;
    virtual void setDeviceNameText(const QString& text) = 0;
};

extern LinkIndicators* linkIndicators;
