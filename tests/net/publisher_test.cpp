// The publisher without a broker: the payloads of a reading, the rate, the outbox's part,
// Home Assistant's configs, and telegrams fed in over the remote link.
#include "recording_link.h"

#include "net/discovery.h"
#include "net/outbox.h"
#include "net/publisher.h"
#include "net/remote_link.h"

#include "decoding_station.h"
#include "link/heatspan_telegram.h"
#include "link/telegram.h"
#include "settings/settings.h"
#include "temperature/temperature_state.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QString kBase = QStringLiteral("monidesk/pc1");

// 2024-05-01 12:00:00.250 at UTC+2, plus `ms`.
QDateTime Time(qint64 ms = 0) {
    return QDateTime(QDate(2024, 5, 1), QTime(12, 0, 0, 250), QTimeZone(7200)).addMSecs(ms);
}

HeatSpanState Reading(qint64 ms = 0) {
    HeatSpanState state;
    state.time = Time(ms);
    state.temperatures = {21.5, -0.1, std::nullopt, 20.0, 20.0, 20.0, 150.0, 999.9};
    state.names = {"Kessel", "Vorlauf", "Rücklauf", "TEMP 4",
                   "TEMP 5", "TEMP 6",  "TEMP 7",   "TEMP 8"};
    state.status = HeatSpanStatus{true, false, false, false, false, false};
    return state;
}

QJsonObject Json(const QByteArray& payload) {
    return QJsonDocument::fromJson(payload).object();
}

class PublisherTest : public ::testing::Test {
protected:
    Publisher& make(int intervalMs, bool discovery = false) {
        EXPECT_TRUE(heatOutbox.open());
        EXPECT_TRUE(tideOutbox.open());
        publisher = std::make_unique<Publisher>(Publisher::Config{kBase, intervalMs, discovery},
                                                link, heatOutbox, tideOutbox);
        publisher->setClock([this] { return clock; });
        return *publisher;
    }
    void connect() {
        link.connected = true;
        publisher->linkUp();
    }
    QList<SentMessage> retained() const {
        QList<SentMessage> found;
        for (const SentMessage& message : link.sent)
            if (message.retain)
                found.append(message);
        return found;
    }

    QTemporaryDir dir;
    Outbox heatOutbox{dir.filePath(QStringLiteral("heatspan"))};
    Outbox tideOutbox{dir.filePath(QStringLiteral("tidespan"))};
    RecordingLink link;
    qint64 clock = 0;
    std::unique_ptr<Publisher> publisher;
};

} // namespace

TEST_F(PublisherTest, PublishesValuesAndAStateDocumentPerReading) {
    Publisher& publisher = make(0);
    connect();
    publisher.publishHeatSpan(Reading());
    const auto value = [&](const char* topic) {
        const QList<SentMessage> sent = link.on(kBase + QLatin1String(topic));
        EXPECT_EQ(sent.size(), 1) << topic;
        EXPECT_TRUE(sent.value(0).retain) << topic;
        return sent.value(0).payload;
    };
    EXPECT_EQ(value("/heatspan/temperature/1"), "21.5");
    EXPECT_EQ(value("/heatspan/temperature/2"), "-0.1");
    EXPECT_EQ(value("/heatspan/temperature/3"), ""); // no value: the retained one is cleared
    EXPECT_EQ(value("/heatspan/temperature/8"), "999.9");
    EXPECT_EQ(value("/heatspan/sensor_error/3"), "ON");
    EXPECT_EQ(value("/heatspan/sensor_error/1"), "OFF");
    EXPECT_EQ(value("/heatspan/alarm/1"), "ON");
    EXPECT_EQ(value("/heatspan/alarm/8"), "ON");

    const QList<SentMessage> states = link.on(kBase + QStringLiteral("/heatspan/state"));
    ASSERT_EQ(states.size(), 1);
    EXPECT_EQ(states[0].qos, 1);
    EXPECT_FALSE(states[0].retain);
    const QJsonObject document = Json(states[0].payload);
    EXPECT_EQ(document["time"].toString(), QStringLiteral("2024-05-01T12:00:00.250+02:00"));
    EXPECT_EQ(document["timestamp_ms"].toDouble(), 1714557600250.0);
    EXPECT_EQ(document["alarm"].toBool(), true);
    EXPECT_EQ(document["sensor_error"].toBool(true), false);
    const QJsonArray channels = document["channels"].toArray();
    ASSERT_EQ(channels.size(), 8);
    EXPECT_EQ(channels[0].toObject()["name"].toString(), QStringLiteral("Kessel"));
    EXPECT_EQ(channels[0].toObject()["temperature"].toDouble(), 21.5);
    EXPECT_TRUE(channels[2].toObject()["temperature"].isNull());
    EXPECT_EQ(channels[2].toObject()["sensor_error"].toBool(), true);

    // The next reading sends only the value that changed, and a document of its own.
    link.take();
    HeatSpanState next = Reading(250);
    next.temperatures[0] = 21.6;
    publisher.publishHeatSpan(next);
    ASSERT_EQ(retained().size(), 1);
    EXPECT_EQ(retained()[0].payload, "21.6");
    EXPECT_EQ(link.on(kBase + QStringLiteral("/heatspan/state")).size(), 1);

    // Level: tenths of a centimetre, tens of litres.
    link.take();
    publisher.publishTideSpan(TideSpanStateOf(Time(), LevelPayload{1234, 567, 123, 57}, false));
    EXPECT_EQ(value("/tidespan/percent"), "57");
    EXPECT_EQ(value("/tidespan/height_cm"), "56.7");
    EXPECT_EQ(value("/tidespan/distance_cm"), "123.4");
    EXPECT_EQ(value("/tidespan/volume_l"), "1230");
    const QJsonObject level =
        Json(link.on(kBase + QStringLiteral("/tidespan/state")).value(0).payload);
    EXPECT_EQ(level["height_cm"].toDouble(), 56.7);
    EXPECT_EQ(level["volume_l"].toDouble(), 1230.0);
    EXPECT_EQ(level["time"].toString(), QStringLiteral("2024-05-01T12:00:00.250+02:00"));
}

// Readings at 0, 300, 600 and 900 ms, a look at 1000, a reading at 1200, looks at 2000 and
// 10000: which readings' documents go out.
TEST_F(PublisherTest, RateSendsTheNewestReadingOncePerInterval) {
    struct Case {
        int intervalMs;
        QList<qint64> sentReadings;
    };
    const Case cases[] = {
        {0, {0, 300, 600, 900, 1200}}, {1000, {0, 900, 1200}}, {10000, {0, 1200}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.intervalMs);
        link.sent.clear();
        clock = 0;
        Outbox outbox(dir.filePath(QStringLiteral("rate%1").arg(c.intervalMs)));
        ASSERT_TRUE(outbox.open());
        Publisher publisher({kBase, c.intervalMs, false}, link, outbox, tideOutbox);
        publisher.setClock([this] { return clock; });
        link.connected = true;
        publisher.linkUp();
        for (qint64 at : {0, 300, 600, 900}) {
            clock = at;
            publisher.publishHeatSpan(Reading(at));
        }
        clock = 1000;
        publisher.poll();
        clock = 1200;
        publisher.publishHeatSpan(Reading(1200));
        for (qint64 at : {2000, 10000}) {
            clock = at;
            publisher.poll();
        }
        QList<qint64> sent;
        for (const SentMessage& state : link.on(kBase + QStringLiteral("/heatspan/state")))
            sent.append(Time().msecsTo(
                QDateTime::fromString(Json(state.payload)["time"].toString(), Qt::ISODateWithMs)));
        EXPECT_EQ(sent, c.sentReadings);
    }
}

// While the broker is away documents wait in the outbox; on the next connection they go out
// in order with their own times, and leave only once acknowledged.
TEST_F(PublisherTest, DocumentsWaitInTheOutboxUntilAcknowledged) {
    Publisher& publisher = make(0);
    for (qint64 at : {0, 1000, 2000})
        publisher.publishHeatSpan(Reading(at));
    EXPECT_TRUE(link.sent.isEmpty());
    EXPECT_EQ(heatOutbox.size(), 3);

    connect();
    const QList<SentMessage> states = link.on(kBase + QStringLiteral("/heatspan/state"));
    ASSERT_EQ(states.size(), 3);
    QStringList times;
    for (const SentMessage& state : states)
        times << Json(state.payload)["time"].toString();
    EXPECT_EQ(times, (QStringList{"2024-05-01T12:00:00.250+02:00", "2024-05-01T12:00:01.250+02:00",
                                  "2024-05-01T12:00:02.250+02:00"}));
    EXPECT_EQ(link.on(kBase + QStringLiteral("/heatspan/temperature/1")).size(), 1);

    publisher.acknowledged({states[1].tag, states[0].tag});
    EXPECT_EQ(heatOutbox.size(), 1);
    // Lost before the third was acknowledged: it goes again on the next connection.
    link.connected = false;
    publisher.linkDown();
    link.take();
    connect();
    const QList<SentMessage> again = link.on(kBase + QStringLiteral("/heatspan/state"));
    ASSERT_EQ(again.size(), 1);
    EXPECT_EQ(again[0].payload, states[2].payload);
    publisher.acknowledged({again[0].tag});
    EXPECT_TRUE(heatOutbox.isEmpty());
}

// The keys Home Assistant documents for MQTT sensors and binary sensors (sensor.mqtt,
// binary_sensor.mqtt): every key of a config must be one of them, and the ones a discovered
// entity of a device needs must be there.
TEST(DiscoveryTest, ConfigsCarryTheKeysHomeAssistantReads) {
    const QSet<QString> common = {"availability",
                                  "availability_mode",
                                  "availability_template",
                                  "availability_topic",
                                  "default_entity_id",
                                  "device",
                                  "device_class",
                                  "enabled_by_default",
                                  "encoding",
                                  "entity_category",
                                  "entity_picture",
                                  "expire_after",
                                  "force_update",
                                  "icon",
                                  "json_attributes_template",
                                  "json_attributes_topic",
                                  "name",
                                  "object_id",
                                  "payload_available",
                                  "payload_not_available",
                                  "platform",
                                  "qos",
                                  "state_topic",
                                  "unique_id",
                                  "value_template"};
    const QSet<QString> sensor =
        common + QSet<QString>{"last_reset_value_template", "options", "state_class",
                               "suggested_display_precision", "unit_of_measurement"};
    const QSet<QString> binarySensor =
        common + QSet<QString>{"off_delay", "payload_off", "payload_on"};
    const QSet<QString> deviceKeys = {"configuration_url", "connections",  "hw_version",
                                      "identifiers",       "manufacturer", "model",
                                      "model_id",          "name",         "serial_number",
                                      "suggested_area",    "sw_version",   "via_device"};
    const QSet<QString> sensorClasses = {"temperature", "distance", "volume_storage"};

    std::array<QString, 8> names;
    for (int i = 0; i < 8; ++i)
        names[std::size_t(i)] = QStringLiteral("Kanal %1").arg(i + 1);
    const QList<TopicMessage> configs = HeatSpanDiscovery(kBase, names) + TideSpanDiscovery(kBase);
    ASSERT_EQ(configs.size(), 28);
    QSet<QString> uniqueIds;
    int temperatures = 0, problems = 0;
    for (const TopicMessage& config : configs) {
        SCOPED_TRACE(config.topic.toStdString());
        const QStringList parts = config.topic.split(QLatin1Char('/'));
        ASSERT_EQ(parts.size(), 5);
        EXPECT_EQ(parts[0], "homeassistant");
        EXPECT_EQ(parts[2], "monidesk_pc1");
        EXPECT_EQ(parts[4], "config");
        const bool binary = parts[1] == QLatin1String("binary_sensor");
        EXPECT_TRUE(binary || parts[1] == QLatin1String("sensor"));
        const QJsonObject json = Json(config.payload);
        for (const QString& key : json.keys())
            EXPECT_TRUE((binary ? binarySensor : sensor).contains(key)) << key.toStdString();
        for (const char* key : {"name", "unique_id", "state_topic", "device"})
            EXPECT_TRUE(json.contains(QLatin1String(key))) << key;
        EXPECT_TRUE(json["state_topic"].toString().startsWith(kBase + QLatin1Char('/')));
        uniqueIds.insert(json["unique_id"].toString());
        const QJsonObject device = json["device"].toObject();
        for (const QString& key : device.keys())
            EXPECT_TRUE(deviceKeys.contains(key)) << key.toStdString();
        EXPECT_EQ(device["manufacturer"].toString(), "Velcor");
        EXPECT_EQ(device["model"].toString(),
                  parts[3].startsWith(QLatin1String("heatspan")) ? "HeatSpan" : "TideSpan");
        EXPECT_FALSE(device["identifiers"].toArray().isEmpty());
        // Available only while the station says so.
        const QJsonArray availability = json["availability"].toArray();
        const bool withStatus =
            json["availability_topic"].toString() == kBase + QStringLiteral("/status") ||
            (!availability.isEmpty() &&
             availability[0].toObject()["topic"].toString() == kBase + QStringLiteral("/status"));
        EXPECT_TRUE(withStatus);
        if (binary) {
            EXPECT_EQ(json["device_class"].toString(), "problem");
            ++problems;
        } else if (json.contains(QLatin1String("device_class"))) {
            EXPECT_TRUE(sensorClasses.contains(json["device_class"].toString()));
            EXPECT_EQ(json["state_class"].toString(), "measurement");
        }
        if (json["device_class"].toString() == QLatin1String("temperature")) {
            EXPECT_EQ(json["unit_of_measurement"].toString(), QStringLiteral("°C"));
            EXPECT_EQ(json["name"].toString(), names[std::size_t(temperatures)]);
            ++temperatures;
        }
    }
    EXPECT_EQ(uniqueIds.size(), 28);
    EXPECT_EQ(temperatures, 8);
    EXPECT_EQ(problems, 16);
}

// A channel renamed in the setup window is renamed in Home Assistant: its three configs go
// again, retained, under the same unique ids.
TEST_F(PublisherTest, RenamedChannelIsAnnouncedAgain) {
    Publisher& publisher = make(0, true);
    connect();
    publisher.publishHeatSpan(Reading());
    const auto configs = [&] {
        QList<SentMessage> found;
        for (const SentMessage& message : link.take())
            if (message.topic.startsWith(QLatin1String("homeassistant/")))
                found.append(message);
        return found;
    };
    EXPECT_EQ(configs().size(), 24);
    HeatSpanState renamed = Reading(250);
    renamed.names[1] = QStringLiteral("Pumpe");
    publisher.publishHeatSpan(renamed);
    const QList<SentMessage> again = configs();
    ASSERT_EQ(again.size(), 3);
    for (const SentMessage& config : again) {
        EXPECT_TRUE(config.retain);
        EXPECT_TRUE(Json(config.payload)["name"].toString().startsWith(QLatin1String("Pumpe")));
        EXPECT_TRUE(config.topic.endsWith(QLatin1String("_2/config")));
    }
    publisher.publishHeatSpan(renamed);
    EXPECT_TRUE(configs().isEmpty());
}

// Telegrams that pile up between two ticks are kept up to the bound; past it the oldest go,
// counted, and the tick hands over the newest in the order they came.
TEST(RemoteLinkTest, QueueKeepsTheNewestUpToItsBound) {
    FreshDecodingStation();
    settings.TERM_ADR = 17;
    for (int n = 0; n < 70; ++n) {
        const Telegram telegram =
            TemperatureTelegram(17, kTypeTemperature0, {double(n), 0.0, 0.0, 0.0});
        QueueRemoteTelegram(QByteArray(reinterpret_cast<const char*>(telegram.data()), 12));
    }
    EXPECT_EQ(okCount, 0); // nothing before the tick
    EXPECT_EQ(DrainRemoteTelegrams(), 64);
    EXPECT_EQ(remoteDroppedCount, 6);
    EXPECT_EQ(okCount, 64);
    EXPECT_EQ(liveTemperatures[0], 69.0); // the last one came last
    EXPECT_EQ(DrainRemoteTelegrams(), 0);
    ResetStationLayers();
}

// A telegram from the remote link takes the road of one from USB or COM: checked, counted,
// dispatched to its decoder.
TEST(RemoteLinkTest, FedTelegramsAreCheckedCountedAndDecoded) {
    FreshDecodingStation();
    settings.TERM_ADR = 17;
    const Telegram telegram = TemperatureTelegram(17, kTypeTemperature0, {21.5, -0.1, 3.0, 4.0});
    EXPECT_TRUE(FeedRemoteTelegram(QByteArray(reinterpret_cast<const char*>(telegram.data()), 12)));
    Telegram broken = telegram;
    broken[5] ^= 0x01;
    EXPECT_FALSE(FeedRemoteTelegram(QByteArray(reinterpret_cast<const char*>(broken.data()), 12)));
    EXPECT_FALSE(FeedRemoteTelegram(QByteArray(11, '\0'))); // not a telegram: ignored
    EXPECT_EQ(okCount, 1);
    EXPECT_EQ(crcErrorCount, 1);
    EXPECT_EQ(tempTelegramCount, 1);
    EXPECT_EQ(remoteTelegramCount, 2);
    EXPECT_EQ(liveTemperatures[0], 21.5);
    EXPECT_EQ(liveTemperatures[1], -0.1);
    ResetStationLayers();
}
