#pragma once

// An MqttLink that records what the publisher hands it, for the tests without a broker.
#include "net/mqtt_link.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct SentMessage {
    QString topic;
    QByteArray payload;
    int qos = 0;
    bool retain = false;
    std::uint64_t tag = 0;
};

class RecordingLink : public MqttLink {
public:
    bool connected = false;
    QList<SentMessage> sent;

    bool isConnected() const override { return connected; }
    void publish(const QString& topic, const QByteArray& payload, int qos, bool retain,
                 std::uint64_t tag) override {
        if (connected)
            sent.append({topic, payload, qos, retain, tag});
    }
    QList<SentMessage> on(const QString& topic) const {
        QList<SentMessage> found;
        for (const SentMessage& message : sent)
            if (message.topic == topic)
                found.append(message);
        return found;
    }
    QList<SentMessage> take() { return std::exchange(sent, {}); }
};
