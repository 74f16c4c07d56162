#pragma once

#include <QString>

// Where and how the client connects. The password travels with it to the network thread and
// is never written anywhere.
struct MqttTarget {
    QString host = QStringLiteral("localhost");
    int port = 1883;
    bool tls = false;
    QString caFile, clientCertFile, clientKeyFile;
    QString user, password;
    // "<base>/status": "online" (retained) on every connect, "offline" as the last will and
    // on a clean stop.
    QString statusTopic;
    // Subscribed on every connect (the remote link); empty: nothing is subscribed.
    QString remoteTelegramTopic;
    int keepAliveSeconds = 15;
    // An attempt that has not been accepted by then counts as failed.
    int connectTimeoutMs = 10'000;
    // The pause after a failed attempt doubles from the first to the last.
    int firstRetrySeconds = 1;
    int lastRetrySeconds = 60;
};
