#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// What the publisher needs of a broker connection (MqttClient, or a recording double in the
// tests). Everything runs on the GUI thread; nothing here blocks.
class MqttLink {
public:
    virtual ~MqttLink() = default;
    // True between the broker's acceptance of the connection and its loss.
    virtual bool isConnected() const = 0;
    // Hands one message to the broker; dropped while not connected. With QoS 1 and a tag
    // other than 0 the tag comes back once the broker has acknowledged the message.
    virtual void publish(const QString& topic, const QByteArray& payload, int qos, bool retain,
                         std::uint64_t tag) = 0;
};
