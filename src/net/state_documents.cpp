#include "net/state_documents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray OnOff(bool on) {
    return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF");
}

QByteArray Decimal(double value) {
    return QByteArray::number(value, 'f', 1);
}

QByteArray Whole(double value) {
    return QByteArray::number(value, 'f', 0);
}

void PutTime(QJsonObject& document, const QDateTime& time) {
    document.insert(QStringLiteral("time"), IsoTime(time));
    document.insert(QStringLiteral("timestamp_ms"), static_cast<double>(time.toMSecsSinceEpoch()));
}

QJsonValue Flag(const std::optional<HeatSpanStatus>& status, bool HeatSpanStatus::*flag) {
    return status ? QJsonValue((*status).*flag) : QJsonValue(QJsonValue::Null);
}

} // namespace

QString IsoTime(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QList<TopicMessage> HeatSpanValues(const QString& base, const HeatSpanState& state) {
    QList<TopicMessage> messages;
    for (int channel = 1; channel <= kHeatSpanChannels; ++channel) {
        const auto& value = state.temperatures[static_cast<std::size_t>(channel - 1)];
        const QString n = QString::number(channel);
        messages.append({base + QStringLiteral("/heatspan/temperature/") + n,
                         value ? Decimal(*value) : QByteArray()});
        messages.append({base + QStringLiteral("/heatspan/sensor_error/") + n, OnOff(!value)});
        if (state.status)
            messages.append(
                {base + QStringLiteral("/heatspan/alarm/") + n, OnOff(state.status->alarm)});
    }
    return messages;
}

QList<TopicMessage> TideSpanValues(const QString& base, const TideSpanState& state) {
    const QString prefix = base + QStringLiteral("/tidespan/");
    return {{prefix + QStringLiteral("percent"), Whole(state.percent)},
            {prefix + QStringLiteral("height_cm"), Decimal(state.heightCm)},
            {prefix + QStringLiteral("distance_cm"), Decimal(state.distanceCm)},
            {prefix + QStringLiteral("volume_l"), Whole(state.volumeL)}};
}

QByteArray HeatSpanDocument(const HeatSpanState& state) {
    QJsonObject document;
    PutTime(document, state.time);
    QJsonArray channels;
    for (int channel = 1; channel <= kHeatSpanChannels; ++channel) {
        const auto i = static_cast<std::size_t>(channel - 1);
        const auto& value = state.temperatures[i];
        channels.append(QJsonObject{
            {QStringLiteral("channel"), channel},
            {QStringLiteral("name"), state.names[i]},
            {QStringLiteral("temperature"), value ? QJsonValue(*value) : QJsonValue()},
            {QStringLiteral("sensor_error"), !value},
        });
    }
    document.insert(QStringLiteral("channels"), channels);
    document.insert(QStringLiteral("alarm"), Flag(state.status, &HeatSpanStatus::alarm));
    document.insert(QStringLiteral("sensor_error"),
                    Flag(state.status, &HeatSpanStatus::sensorError));
    document.insert(QStringLiteral("output1"), Flag(state.status, &HeatSpanStatus::output1));
    document.insert(QStringLiteral("output2"), Flag(state.status, &HeatSpanStatus::output2));
    document.insert(QStringLiteral("high_range_7"),
                    Flag(state.status, &HeatSpanStatus::highRange7));
    document.insert(QStringLiteral("high_range_8"),
                    Flag(state.status, &HeatSpanStatus::highRange8));
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

QByteArray TideSpanDocument(const TideSpanState& state) {
    QJsonObject document;
    PutTime(document, state.time);
    document.insert(QStringLiteral("percent"), state.percent);
    document.insert(QStringLiteral("height_cm"), state.heightCm);
    document.insert(QStringLiteral("distance_cm"), state.distanceCm);
    document.insert(QStringLiteral("volume_l"), state.volumeL);
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}
