#pragma once
#include <QString>
// The network settings: publishing to an MQTT broker, and the remote link.
struct NetworkSettings {
    bool enabled = false;
    QString host = QStringLiteral("localhost");
    int port = 1883;
    bool tls = false;
    QString caFile, clientCertFile, clientKeyFile, user;
    QString baseTopic; // empty: DefaultBaseTopic()
    int rate = 1;      // 0 every reading, 1: at most one per 1 s, 2: 10 s, 3: 60 s
    bool discovery = true;
    QString remoteBase; // empty: no remote link
};
QString DefaultBaseTopic(); // "monidesk/<host name>"
