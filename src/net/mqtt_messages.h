#pragma once

#include "net/mqtt_target.h"

#include <QString>

// Why the broker connection is not up, in the words the network window and Diagnose show.

// A refusal in the broker's CONNACK (MQTT 3.1.1 return codes 1..5). Mosquitto answers a wrong
// password with "not authorised" (5), so 5 names the password when a user name was sent.
QString ConnectRefusedText(int returnCode, bool sentUser);

// A failed attempt or a lost connection from libmosquitto's error code and the errno of the
// call that failed; `tlsDetail` is the last OpenSSL error libmosquitto logged, if any.
QString ConnectFailureText(const MqttTarget& target, int mosqError, int errnoValue,
                           const QString& tlsDetail, bool wasConnected);

// An attempt the broker did not answer in time.
QString NoAnswerText(const MqttTarget& target);

// A CA file, client certificate or key libmosquitto did not accept.
QString TlsFilesText(const MqttTarget& target);

QString ConnectingText(const MqttTarget& target); // "Verbinde mit host:port …"
QString ConnectedText(const MqttTarget& target);  // "Verbunden mit host:port"
QString OffText();                                // "Aus"
