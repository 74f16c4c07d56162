#include "net/network_settings_store.h"
#include "settings/fake_settings_store.h"
#include "settings/file_settings_store.h"
#include "support/settings_diff.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Type = StoredValue::Type;

// Every value differs from its default.
NetworkSettings customNetwork() {
    NetworkSettings n;
    n.enabled = true;
    n.host = QStringLiteral("broker.küche.lan");
    n.port = 1884;
    n.tls = true;
    n.caFile = QStringLiteral("/etc/ssl/ca.pem");
    n.clientCertFile = QStringLiteral("/home/u/client.pem");
    n.clientKeyFile = QStringLiteral("/home/u/client.key");
    n.user = QStringLiteral("monidesk");
    n.baseTopic = QStringLiteral("halle/2");
    n.rate = 3;
    n.discovery = false;
    n.remoteBase = QStringLiteral("monidesk/keller");
    return n;
}

std::vector<std::string> differences(const NetworkSettings& a, const NetworkSettings& b) {
    std::vector<std::string> names;
    const auto check = [&](bool same, const char* name) {
        if (!same)
            names.push_back(name);
    };
    check(a.enabled == b.enabled, "enabled");
    check(a.host == b.host, "host");
    check(a.port == b.port, "port");
    check(a.tls == b.tls, "tls");
    check(a.caFile == b.caFile, "caFile");
    check(a.clientCertFile == b.clientCertFile, "clientCertFile");
    check(a.clientKeyFile == b.clientKeyFile, "clientKeyFile");
    check(a.user == b.user, "user");
    check(a.baseTopic == b.baseTopic, "baseTopic");
    check(a.rate == b.rate, "rate");
    check(a.discovery == b.discovery, "discovery");
    check(a.remoteBase == b.remoteBase, "remoteBase");
    return names;
}

Settings custom32() {
    Settings s;
    s.REGAPP = "INIT";
    s.TLOG_PATH = "/var/log/termo.log";
    s.TNAME2 = "Vorlauf";
    s.CHK_TERMLOG = true;
    s.FRE_TERM = 2;
    s.TERM_ADR = 23;
    s.LEV_ADR = 4;
    s.GL_COM = 3;
    return s;
}

struct Messages {
    std::vector<std::string> shown;
    SettingsMessage callback() {
        return [this](const std::string& text) { shown.push_back(text); };
    }
};

const std::vector<std::string> kNetworkNames = {
    "NET_ENABLED", "NET_HOST", "NET_PORT",  "NET_TLS",  "NET_CAFILE",    "NET_CERTFILE",
    "NET_KEYFILE", "NET_USER", "NET_TOPIC", "NET_RATE", "NET_DISCOVERY", "NET_REMOTE"};

} // namespace

// The 32 are written first exactly as before, the network values after them, all in one
// opening of the store; loading gives back both.
TEST(NetworkSettingsStore, SavedAfterThe32InOneOpeningAndLoadedBack) {
    FakeSettingsStore only32;
    SaveSettings(only32, custom32(), {});

    FakeSettingsStore store;
    Messages messages;
    SaveSettingsWithNetwork(store, custom32(), customNetwork(), messages.callback());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(store.opens, 1);
    EXPECT_EQ(store.closes, 1);
    ASSERT_EQ(store.writes.size(), only32.writes.size() + kNetworkNames.size());
    for (std::size_t i = 0; i < store.writes.size(); ++i) {
        const std::string expected = i < only32.writes.size()
                                         ? only32.writes[i].name
                                         : kNetworkNames[i - only32.writes.size()];
        EXPECT_EQ(store.writes[i].name, expected) << i;
    }
    EXPECT_EQ(store.values["NET_CAFILE"].type, Type::ExpandString);
    EXPECT_EQ(store.values["NET_HOST"].type, Type::String);
    EXPECT_EQ(store.values["NET_PORT"].dword, 1884);

    Settings loaded;
    NetworkSettings network;
    LoadSettingsWithNetwork(store, loaded, network, messages.callback());
    EXPECT_TRUE(ChangedSettings(custom32(), loaded).isEmpty())
        << ChangedSettings(custom32(), loaded).join(u',').toStdString();
    EXPECT_TRUE(differences(network, customNetwork()).empty());
    EXPECT_EQ(store.opens, 2);
    EXPECT_EQ(store.closes, 2);
}

// The 32 load exactly as LoadSettings loads them alone, with their stop rules, whatever the
// network values hold; the network values load also when the 32 stopped early, and one
// that is missing, of the wrong type or out of range takes its default, silently.
TEST(NetworkSettingsStore, The32LoadAsBeforeAndBadNetworkValuesTakeDefaults) {
    const NetworkSettings defaults;
    const struct {
        const char* what;
        std::function<void(FakeSettingsStore&)> change;
        std::function<void(NetworkSettings&)> expected; // from customNetwork()
    } cases[] = {
        {"a store from before the network values",
         [](FakeSettingsStore& s) {
             for (const auto& name : kNetworkNames)
                 s.remove(name);
         },
         [&](NetworkSettings& n) { n = defaults; }},
        {"FRE_TERM missing (the 32 stop there)", [](FakeSettingsStore& s) { s.remove("FRE_TERM"); },
         [](NetworkSettings&) {}},
        {"a channel name of the wrong type (message, the 32 stop)",
         [](FakeSettingsStore& s) { s.setDword("TNAME2", 5); }, [](NetworkSettings&) {}},
        {"wrong types",
         [](FakeSettingsStore& s) {
             s.setText("NET_ENABLED", "1");
             s.setDword("NET_HOST", 7);
             s.setOther("NET_RATE");
             s.remove("NET_TOPIC");
         },
         [&](NetworkSettings& n) {
             n.enabled = defaults.enabled;
             n.host = defaults.host;
             n.rate = defaults.rate;
             n.baseTopic = defaults.baseTopic;
         }},
        {"port 0 and rate 4 with TLS on",
         [](FakeSettingsStore& s) {
             s.setDword("NET_PORT", 0);
             s.setDword("NET_RATE", 4);
         },
         [](NetworkSettings& n) {
             n.port = 8883;
             n.rate = 1;
         }},
        {"port 65536 without TLS, rate -1",
         [](FakeSettingsStore& s) {
             s.setDword("NET_PORT", 65536);
             s.setDword("NET_TLS", 0);
             s.setDword("NET_RATE", -1);
         },
         [](NetworkSettings& n) {
             n.tls = false;
             n.port = 1883;
             n.rate = 1;
         }},
        {"a switch stored as 5", [](FakeSettingsStore& s) { s.setDword("NET_DISCOVERY", 5); },
         [](NetworkSettings& n) { n.discovery = true; }},
    };
    for (const auto& c : cases) {
        FakeSettingsStore store;
        SaveSettingsWithNetwork(store, custom32(), customNetwork(), {});
        c.change(store);
        FakeSettingsStore copy = store;

        Settings alone;
        Messages aloneMessages;
        LoadSettings(copy, alone, aloneMessages.callback());

        Settings loaded;
        NetworkSettings network;
        Messages messages;
        LoadSettingsWithNetwork(store, loaded, network, messages.callback());
        EXPECT_TRUE(ChangedSettings(alone, loaded).isEmpty()) << c.what;
        EXPECT_EQ(messages.shown, aloneMessages.shown) << c.what;
        NetworkSettings expected = customNetwork();
        c.expected(expected);
        EXPECT_EQ(differences(network, expected), std::vector<std::string>{}) << c.what;
    }
}

// A refused network value is told as the 32 tell theirs and ends the network values; after
// a refused value of the 32 no network value is written; a lost commit is told once.
TEST(NetworkSettingsStore, RefusedWritesAreToldOnce) {
    const struct {
        const char* refused;
        bool commitLost;
        std::vector<std::string> messages;
        const char* lastWritten;
    } cases[] = {
        {"NET_USER", false, {"Fehler beim Setzen der Daten für 'NET_USER'"}, "NET_KEYFILE"},
        {"TERM_ADR", false, {"Fehler beim Setzen der Daten für 'TERM_ADR'"}, "LEV_ADR"},
        {"", true, {"Fehler beim Setzen der Daten für 'TLOG_PATH'"}, "NET_REMOTE"},
    };
    for (const auto& c : cases) {
        FakeSettingsStore store;
        store.failingWrites.insert(c.refused);
        store.closeFails = c.commitLost;
        Messages messages;
        SaveSettingsWithNetwork(store, custom32(), customNetwork(), messages.callback());
        EXPECT_EQ(messages.shown, c.messages) << c.refused;
        ASSERT_FALSE(store.writes.empty());
        EXPECT_EQ(store.writes.back().name, c.lastWritten) << c.refused;
        EXPECT_EQ(store.closes, 1);
    }
}

// Through the real settings file: the network values stand in settings.reg beside the 32.
TEST(NetworkSettingsStore, RoundTripThroughTheSettingsFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.reg"));
    {
        FileSettingsStore store(path);
        SaveSettingsWithNetwork(store, custom32(), customNetwork(), {});
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE")); // UTF-16LE, as regedit writes it
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    EXPECT_TRUE(text.contains(QStringLiteral("\"GL_COM\"=dword:00000003")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"NET_PORT\"=dword:0000075c")));

    FileSettingsStore store(path);
    Settings loaded;
    NetworkSettings network;
    LoadSettingsWithNetwork(store, loaded, network, {});
    EXPECT_TRUE(ChangedSettings(custom32(), loaded).isEmpty());
    EXPECT_EQ(differences(network, customNetwork()), std::vector<std::string>{});
}
