#include "net/discovery.h"

#include "net/topics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kPrefix = QStringLiteral("homeassistant");

QJsonObject Device(const QString& base, const QString& model) {
    return {
        {QStringLiteral("identifiers"),
         QJsonArray{StationId(base) + QLatin1Char('_') + model.toLower()}},
        {QStringLiteral("name"), model + QStringLiteral(" ") + base},
        {QStringLiteral("manufacturer"), QStringLiteral("Velcor")},
        {QStringLiteral("model"), model},
    };
}

// One entity: `component` "sensor" or "binary_sensor", `object` its id within the station
// ("heatspan_temperature_1"), `fields` what is particular to it.
TopicMessage Entity(const QString& base, const QString& component, const QString& object,
                    const QString& model, QJsonObject fields) {
    const QString station = StationId(base);
    fields.insert(QStringLiteral("unique_id"), station + QLatin1Char('_') + object);
    fields.insert(QStringLiteral("device"), Device(base, model));
    if (!fields.contains(QStringLiteral("availability")))
        fields.insert(QStringLiteral("availability_topic"), base + QStringLiteral("/status"));
    return {kPrefix + QLatin1Char('/') + component + QLatin1Char('/') + station + QLatin1Char('/') +
                object + QStringLiteral("/config"),
            QJsonDocument(fields).toJson(QJsonDocument::Compact)};
}

TopicMessage Problem(const QString& base, const QString& what, int channel, const QString& name) {
    const QString n = QString::number(channel);
    const QString suffix =
        what == QLatin1String("alarm") ? QStringLiteral(" Alarm") : QStringLiteral(" Sensorfehler");
    return Entity(
        base, QStringLiteral("binary_sensor"), QStringLiteral("heatspan_%1_%2").arg(what, n),
        QStringLiteral("HeatSpan"),
        {{QStringLiteral("name"), name + suffix},
         {QStringLiteral("state_topic"), base + QStringLiteral("/heatspan/%1/%2").arg(what, n)},
         {QStringLiteral("device_class"), QStringLiteral("problem")},
         {QStringLiteral("payload_on"), QStringLiteral("ON")},
         {QStringLiteral("payload_off"), QStringLiteral("OFF")}});
}

TopicMessage LevelSensor(const QString& base, const QString& value, const QString& name,
                         const QString& unit, const QString& deviceClass) {
    QJsonObject fields{{QStringLiteral("name"), name},
                       {QStringLiteral("state_topic"), base + QStringLiteral("/tidespan/") + value},
                       {QStringLiteral("unit_of_measurement"), unit},
                       {QStringLiteral("state_class"), QStringLiteral("measurement")}};
    if (!deviceClass.isEmpty())
        fields.insert(QStringLiteral("device_class"), deviceClass);
    return Entity(base, QStringLiteral("sensor"), QStringLiteral("tidespan_") + value,
                  QStringLiteral("TideSpan"), fields);
}

} // namespace

QList<TopicMessage> HeatSpanChannelDiscovery(const QString& base, int channel,
                                             const QString& name) {
    const QString n = QString::number(channel);
    const QString sensorError = base + QStringLiteral("/heatspan/sensor_error/") + n;
    const QJsonArray availability{
        QJsonObject{{QStringLiteral("topic"), base + QStringLiteral("/status")}},
        QJsonObject{{QStringLiteral("topic"), sensorError},
                    {QStringLiteral("payload_available"), QStringLiteral("OFF")},
                    {QStringLiteral("payload_not_available"), QStringLiteral("ON")}}};
    const TopicMessage temperature = Entity(
        base, QStringLiteral("sensor"), QStringLiteral("heatspan_temperature_") + n,
        QStringLiteral("HeatSpan"),
        {{QStringLiteral("name"), name},
         {QStringLiteral("state_topic"), base + QStringLiteral("/heatspan/temperature/") + n},
         {QStringLiteral("device_class"), QStringLiteral("temperature")},
         {QStringLiteral("unit_of_measurement"), QStringLiteral("°C")},
         {QStringLiteral("state_class"), QStringLiteral("measurement")},
         {QStringLiteral("suggested_display_precision"), 1},
         {QStringLiteral("availability"), availability},
         {QStringLiteral("availability_mode"), QStringLiteral("all")}});
    return {temperature, Problem(base, QStringLiteral("alarm"), channel, name),
            Problem(base, QStringLiteral("sensor_error"), channel, name)};
}

QList<TopicMessage> HeatSpanDiscovery(const QString& base,
                                      const std::array<QString, kHeatSpanChannels>& names) {
    QList<TopicMessage> messages;
    for (int channel = 1; channel <= kHeatSpanChannels; ++channel)
        messages +=
            HeatSpanChannelDiscovery(base, channel, names[static_cast<std::size_t>(channel - 1)]);
    return messages;
}

QList<TopicMessage> TideSpanDiscovery(const QString& base) {
    return {LevelSensor(base, QStringLiteral("percent"), QStringLiteral("Füllstand"),
                        QStringLiteral("%"), {}),
            LevelSensor(base, QStringLiteral("height_cm"), QStringLiteral("Pegel"),
                        QStringLiteral("cm"), QStringLiteral("distance")),
            LevelSensor(base, QStringLiteral("distance_cm"), QStringLiteral("Distanz"),
                        QStringLiteral("cm"), QStringLiteral("distance")),
            LevelSensor(base, QStringLiteral("volume_l"), QStringLiteral("Volumen"),
                        QStringLiteral("L"), QStringLiteral("volume_storage"))};
}
