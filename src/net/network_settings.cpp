#include "net/network_settings.h"

#include <QSysInfo>

QString DefaultBaseTopic() {
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("monidesk") : QStringLiteral("monidesk/") + host;
}
