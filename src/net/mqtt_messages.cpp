#include "net/mqtt_messages.h"

#include "platform/system_error.h"

#include <mosquitto.h>

namespace {

QString Address(const MqttTarget& target) {
    return QStringLiteral("%1:%2").arg(target.host).arg(target.port);
}

QString Unreachable(const MqttTarget& target, const QString& why) {
    return QStringLiteral("Broker nicht erreichbar: %1 (%2)").arg(Address(target), why);
}

QString ErrnoWords(int errnoValue) {
    return errnoValue != 0 ? SystemErrorText(errnoValue) : QStringLiteral("Verbindung getrennt");
}

QString TlsText(const MqttTarget& target, const QString& detail) {
    if (detail.contains(QLatin1String("certificate verify failed")))
        return QStringLiteral("TLS-Fehler: Zertifikat des Brokers nicht vertrauenswürdig "
                              "(CA-Datei %1)")
            .arg(target.caFile);
    if (detail.contains(QLatin1String("wrong version number")))
        return QStringLiteral("TLS-Fehler: der Broker spricht auf %1 kein TLS")
            .arg(Address(target));
    if (detail.isEmpty())
        return QStringLiteral("TLS-Fehler beim Verbindungsaufbau mit %1").arg(Address(target));
    return QStringLiteral("TLS-Fehler: %1").arg(detail);
}

} // namespace

QString ConnectRefusedText(int returnCode, bool sentUser) {
    switch (returnCode) {
    case 1:
        return QStringLiteral("Verbindung abgelehnt: MQTT-Version nicht unterstützt");
    case 2:
        return QStringLiteral("Verbindung abgelehnt: Client-Kennung nicht zulässig");
    case 3:
        return QStringLiteral("Verbindung abgelehnt: Broker nicht verfügbar");
    case 4:
        return QStringLiteral("Verbindung abgelehnt: Benutzername oder Passwort falsch");
    case 5:
        return sentUser ? QStringLiteral("Verbindung abgelehnt: Benutzername oder Passwort falsch")
                        : QStringLiteral("Verbindung abgelehnt: Anmeldung mit Benutzername und "
                                         "Passwort erforderlich");
    default:
        return QStringLiteral("Verbindung abgelehnt (Code %1)").arg(returnCode);
    }
}

QString ConnectFailureText(const MqttTarget& target, int mosqError, int errnoValue,
                           const QString& tlsDetail, bool wasConnected) {
    switch (mosqError) {
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_LOOKUP:
        return QStringLiteral("Name nicht auflösbar: %1").arg(target.host);
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
        return TlsText(target, tlsDetail);
    case MOSQ_ERR_KEEPALIVE:
        return QStringLiteral("Verbindung zum Broker unterbrochen: keine Antwort von %1")
            .arg(Address(target));
    default:
        break;
    }
    if (!tlsDetail.isEmpty())
        return TlsText(target, tlsDetail);
    if (wasConnected)
        return QStringLiteral("Verbindung zum Broker unterbrochen: %1 (%2)")
            .arg(Address(target), ErrnoWords(errnoValue));
    if (mosqError == MOSQ_ERR_ERRNO)
        return Unreachable(target, ErrnoWords(errnoValue));
    return Unreachable(target, QString::fromUtf8(mosquitto_strerror(mosqError)));
}

QString NoAnswerText(const MqttTarget& target) {
    return Unreachable(target, QStringLiteral("keine Antwort"));
}

QString TlsFilesText(const MqttTarget& target) {
    QString files = target.caFile;
    if (!target.clientCertFile.isEmpty())
        files += QStringLiteral(", ") + target.clientCertFile;
    if (!target.clientKeyFile.isEmpty())
        files += QStringLiteral(", ") + target.clientKeyFile;
    return QStringLiteral("TLS-Fehler: Zertifikatsdatei fehlt oder ist nicht lesbar (%1)")
        .arg(files);
}

QString ConnectingText(const MqttTarget& target) {
    return QStringLiteral("Verbinde mit %1 …").arg(Address(target));
}

QString ConnectedText(const MqttTarget& target) {
    return QStringLiteral("Verbunden mit %1").arg(Address(target));
}

QString OffText() {
    return QStringLiteral("Aus");
}
