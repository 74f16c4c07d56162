#include "link/link_notice.h"

#include <QFile>

#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

LinkNoticeHook& hook() {
    static LinkNoticeHook installed;
    return installed;
}

#ifdef Q_OS_UNIX
// The name of the group that owns `device`, or "" when that is root's group or unknown.
QString owningGroup(const QString& device) {
    struct stat status {};
    if (::stat(QFile::encodeName(device).constData(), &status) != 0 || status.st_gid == 0)
        return {};
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return QString::fromLocal8Bit(found->gr_name);
}
#endif

} // namespace

void SetLinkNoticeHook(LinkNoticeHook installed) {
    hook() = std::move(installed);
}

void GiveLinkNotice(const QString& text) {
    if (hook())
        hook()(text);
}

bool DeviceRefusesUser(const QString& device) {
#ifdef Q_OS_UNIX
    // Asked with the effective ids, as open() is checked.
    return ::faccessat(AT_FDCWD, QFile::encodeName(device).constData(), R_OK | W_OK, AT_EACCESS) !=
               0 &&
           errno == EACCES;
#else
    Q_UNUSED(device);
    return false;
#endif
}

QString DeniedDeviceText(const QString& name, const QString& device) {
    const QString shown = name == device ? device : QStringLiteral("%1 (%2)").arg(name, device);
    QString group;
#ifdef Q_OS_UNIX
    group = owningGroup(device);
#endif
    if (group.isEmpty())
        return QStringLiteral("Keine Berechtigung für %1: Zugriffsrechte des Geräts prüfen")
            .arg(shown);
    return QStringLiteral(
               "Keine Berechtigung für %1: Benutzer in die Gruppe '%2' aufnehmen und neu anmelden")
        .arg(shown, group);
}

void DeniedDeviceNotice::refused(const QString& device, const QString& text) {
    if (device == reported_)
        return;
    reported_ = device;
    GiveLinkNotice(text);
}
