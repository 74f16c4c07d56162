#pragma once

#include "net/instrument_states.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The payloads the station publishes for a reading. Numbers use "." whatever the locale.

struct TopicMessage {
    QString topic;
    QByteArray payload;
    friend bool operator==(const TopicMessage&, const TopicMessage&) = default;
};

// ISO 8601 with milliseconds and the UTC offset: "2024-05-01T12:00:00.250+02:00".
QString IsoTime(const QDateTime& time);

// The retained value topics of a snapshot. Temperatures carry one decimal ("21.5"); a channel
// without a value carries an empty payload, which also clears its retained value, and its
// sensor_error topic says ON. The alarm topics (the transmitter's one alarm bit, on every
// channel) follow the first status telegram.
QList<TopicMessage> HeatSpanValues(const QString& base, const HeatSpanState& state);
// percent and volume_l as whole numbers, height_cm and distance_cm with one decimal.
QList<TopicMessage> TideSpanValues(const QString& base, const TideSpanState& state);

// One JSON document per reading, for Telegraf, Node-RED and InfluxDB: "time" (ISO 8601) and
// "timestamp_ms" (milliseconds since the epoch), then every value. HeatSpan:
//   {"alarm":false,"channels":[{"channel":1,"name":"Kessel","sensor_error":false,
//    "temperature":21.5},...],"high_range_7":false,...,"sensor_error":false,"time":...}
// (null temperatures for channels without a value; null status fields before the first
// status telegram). TideSpan: {"distance_cm":..,"height_cm":..,"percent":..,"volume_l":..}.
QByteArray HeatSpanDocument(const HeatSpanState& state);
QByteArray TideSpanDocument(const TideSpanState& state);
