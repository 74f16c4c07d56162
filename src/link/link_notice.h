#pragma once

#include <QString>

#include <functional>

// Notices the links give the user once, such as a port the user may not open. Opening
// raises no errors, so these go through a hook that the program points at its general
// error report; without a hook they are dropped.
using LinkNoticeHook = std::function<void(const QString& text)>;
void SetLinkNoticeHook(LinkNoticeHook hook);
void GiveLinkNotice(const QString& text);

// True when `device` exists but the file modes let this user not read and write it.
bool DeviceRefusesUser(const QString& device);

// The notice for such a device: its name (with the device behind it, when that differs)
// and the usual cure, membership of the group that owns the device file.
QString DeniedDeviceText(const QString& name, const QString& device);

// Gives the notice for a refused device once: refusals of the same device stay quiet
// until it has been opened.
class DeniedDeviceNotice {
public:
    void refused(const QString& device, const QString& text);
    void opened() { reported_.clear(); }

private:
    QString reported_;
};
