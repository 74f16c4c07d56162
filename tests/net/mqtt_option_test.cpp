#include "net/mqtt_option.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(MqttOption, AddressesAndTopics) {
    const std::nullopt_t none = std::nullopt;
    const struct {
        std::optional<QString> address;
        std::optional<QString> topic;
        const char* host; // nullptr: an error
        std::optional<int> port;
        const char* topicTaken;
    } cases[] = {
        {QStringLiteral("localhost"), none, "localhost", none, ""},
        {QStringLiteral("broker.lan:1884"), QStringLiteral("halle/2"), "broker.lan", 1884,
         "halle/2"},
        {QStringLiteral("192.168.1.5:65535"), none, "192.168.1.5", 65535, ""},
        {QStringLiteral("[::1]:1884"), none, "::1", 1884, ""},
        {QStringLiteral("[fe80::1%eth0]"), none, "fe80::1%eth0", none, ""},
        {QStringLiteral("::1"), none, "::1", none, ""}, // no brackets: no port
        // bad ports
        {QStringLiteral("localhost:"), none, nullptr, none, ""},
        {QStringLiteral("localhost:0"), none, nullptr, none, ""},
        {QStringLiteral("localhost:65536"), none, nullptr, none, ""},
        {QStringLiteral("localhost:18x3"), none, nullptr, none, ""},
        {QStringLiteral("localhost:+1883"), none, nullptr, none, ""},
        {QStringLiteral("[::1]:99999"), none, nullptr, none, ""},
        // no host, or brackets that do not close or are followed by something else
        {QStringLiteral(""), none, nullptr, none, ""},
        {QStringLiteral(":1883"), none, nullptr, none, ""},
        {QStringLiteral("[]:1883"), none, nullptr, none, ""},
        {QStringLiteral("[::1"), none, nullptr, none, ""},
        {QStringLiteral("[::1]1884"), none, nullptr, none, ""},
        {QStringLiteral("broker lan"), none, nullptr, none, ""},
        // topics: none to publish to, or a topic without --mqtt
        {QStringLiteral("localhost"), QStringLiteral("halle/+"), nullptr, none, ""},
        {QStringLiteral("localhost"), QStringLiteral("#"), nullptr, none, ""},
        {QStringLiteral("localhost"), QStringLiteral(""), nullptr, none, ""},
        {none, QStringLiteral("halle/2"), nullptr, none, ""},
    };
    for (const auto& c : cases) {
        const QString what = c.address.value_or(QStringLiteral("(none)")) + u' ' +
                             c.topic.value_or(QStringLiteral("(none)"));
        const MqttOptionResult result = ParseMqttOptions(c.address, c.topic);
        if (!c.host) {
            EXPECT_FALSE(result.error.isEmpty()) << what.toStdString();
            EXPECT_FALSE(result.override) << what.toStdString();
            continue;
        }
        ASSERT_TRUE(result.override) << what.toStdString() << result.error.toStdString();
        EXPECT_TRUE(result.error.isEmpty());
        EXPECT_EQ(result.override->host, QString::fromUtf8(c.host)) << what.toStdString();
        EXPECT_EQ(result.override->port, c.port) << what.toStdString();
        EXPECT_EQ(result.override->baseTopic, QString::fromUtf8(c.topicTaken));
    }
    const MqttOptionResult neither = ParseMqttOptions(std::nullopt, std::nullopt);
    EXPECT_FALSE(neither.override);
    EXPECT_TRUE(neither.error.isEmpty());
}

// The run publishes to the given broker; what is saved is what was stored, except what the
// user changed in the window meanwhile.
TEST(MqttOption, AppliedForTheRunAndTakenBackForTheSave) {
    NetworkSettings stored;
    stored.host = QStringLiteral("broker.lan");
    stored.port = 8884;
    stored.tls = true;
    stored.baseTopic = QStringLiteral("halle/1");

    NetworkSettings run = stored;
    ApplyMqttOverride(run, MqttOverride{QStringLiteral("localhost"), std::nullopt, {}});
    EXPECT_TRUE(run.enabled);
    EXPECT_EQ(run.host, QStringLiteral("localhost"));
    EXPECT_EQ(run.port, 8883); // TLS stays on: its usual port
    EXPECT_EQ(run.baseTopic, QStringLiteral("halle/1"));

    const MqttOverride demo{QStringLiteral("127.0.0.1"), 1884, QStringLiteral("demo")};
    run = stored;
    ApplyMqttOverride(run, demo);
    run.user = QStringLiteral("anlage7");      // changed in the window
    run.baseTopic = QStringLiteral("halle/3"); // changed over the override's value
    const NetworkSettings saved = WithoutMqttOverride(run, stored, demo);
    EXPECT_FALSE(saved.enabled);
    EXPECT_EQ(saved.host, QStringLiteral("broker.lan"));
    EXPECT_EQ(saved.port, 8884);
    EXPECT_EQ(saved.baseTopic, QStringLiteral("halle/3"));
    EXPECT_EQ(saved.user, QStringLiteral("anlage7"));
}

} // namespace
