#pragma once

#include <QString>

// How the station publishes on the network: the broker, its security, the base topic, the
// publishing rate, Home Assistant discovery and the remote link. The password is not part of
// it: it is kept apart (keyring or a file of the user's own) and handed over separately.
struct NetworkSettings {
    bool enabled = false;
    QString host = QStringLiteral("localhost");
    int port = 1883;
    bool tls = false;
    QString caFile, clientCertFile, clientKeyFile, user;
    QString baseTopic; // empty: DefaultBaseTopic()
    int rate = 1;      // 0 every reading, 1 at most one state per 1 s, 2 per 10 s, 3 per 60 s
    bool discovery = true;
    QString remoteBase; // another station's base topic whose telegrams are fed in; empty: none
};

// "monidesk/<host name>", the host name in lower case with anything but letters, digits,
// '-' and '_' made '_' ("monidesk/station" when the host has no name).
QString DefaultBaseTopic();
