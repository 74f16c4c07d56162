#include "net/mqtt_option.h"

#include "net/network_settings_store.h"
#include "net/topics.h"

namespace {

// "1883" -> 1883; nullopt for anything but a whole number from 1 to 65535.
std::optional<int> parsePort(const QString& text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

bool hostIsUsable(const QString& host) {
    if (host.isEmpty())
        return false;
    for (const QChar c : host)
        if (c.isSpace() || c == u'/' || c == u'[' || c == u']')
            return false;
    return true;
}

// Splits HOST[:PORT] / [IPv6][:PORT]; the port text is empty when none was given.
QString splitAddress(const QString& address, QString& host, QString& port, bool& hasPort) {
    hasPort = false;
    QString rest;
    if (address.startsWith(u'[')) {
        const qsizetype close = address.indexOf(u']');
        if (close < 0)
            return QStringLiteral("--mqtt: '%1' lacks the closing ']'").arg(address);
        host = address.mid(1, close - 1);
        rest = address.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return QStringLiteral("--mqtt: expected ':PORT' after ']' in '%1'").arg(address);
    } else if (address.count(u':') == 1) {
        const qsizetype colon = address.indexOf(u':');
        host = address.left(colon);
        rest = address.mid(colon);
    } else {
        host = address; // a name, an IPv4 address or an IPv6 address without a port
    }
    if (!rest.isEmpty()) {
        hasPort = true;
        port = rest.mid(1);
    }
    return {};
}

} // namespace

MqttOptionResult ParseMqttOptions(const std::optional<QString>& address,
                                  const std::optional<QString>& topic) {
    MqttOptionResult result;
    if (!address) {
        if (topic)
            result.error = QStringLiteral("--mqtt-topic needs --mqtt HOST[:PORT]");
        return result;
    }
    MqttOverride override;
    QString port;
    bool hasPort = false;
    result.error = splitAddress(*address, override.host, port, hasPort);
    if (!result.error.isEmpty())
        return result;
    if (!hostIsUsable(override.host)) {
        result.error = QStringLiteral("--mqtt: no host name in '%1'").arg(*address);
        return result;
    }
    if (hasPort) {
        override.port = parsePort(port);
        if (!override.port) {
            result.error = QStringLiteral("--mqtt: '%1' is no port (1 to 65535)").arg(port);
            return result;
        }
    }
    if (topic) {
        // Readings are published below the base topic: no wildcards, not empty.
        if (!IsPublishableTopic(*topic)) {
            result.error =
                QStringLiteral("--mqtt-topic: '%1' is no topic to publish to").arg(*topic);
            return result;
        }
        override.baseTopic = *topic;
    }
    result.override = override;
    return result;
}

void ApplyMqttOverride(NetworkSettings& network, const MqttOverride& override) {
    network.enabled = true;
    network.host = override.host;
    network.port = override.port.value_or(network.tls ? kMqttTlsPort : kMqttPort);
    if (!override.baseTopic.isEmpty())
        network.baseTopic = override.baseTopic;
}

NetworkSettings WithoutMqttOverride(const NetworkSettings& current, const NetworkSettings& stored,
                                    const MqttOverride& override) {
    NetworkSettings applied = stored;
    ApplyMqttOverride(applied, override);
    NetworkSettings saved = current;
    if (current.enabled == applied.enabled)
        saved.enabled = stored.enabled;
    if (current.host == applied.host)
        saved.host = stored.host;
    if (current.port == applied.port)
        saved.port = stored.port;
    if (current.baseTopic == applied.baseTopic)
        saved.baseTopic = stored.baseTopic;
    return saved;
}
