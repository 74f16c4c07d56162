#include "net/network_settings_store.h"

#include "platform/file_text.h"

#include <array>
#include <functional>
#include <string>
#include <variant>

NetworkSettings networkSettings;

void ResetNetworkSettings() {
    networkSettings = NetworkSettings{};
}

namespace {

// How a network value is stored: switches and numbers as 32-bit integers, file paths as
// expandable strings (as the 32 store theirs), other texts as plain strings.
enum class NetKind { Bool, Int, Text, Path };

using NetMember =
    std::variant<bool NetworkSettings::*, int NetworkSettings::*, QString NetworkSettings::*>;

struct NetField {
    const char* name;
    NetKind kind;
    NetMember member;
};

// Store order of the network values (after the 32).
const std::array<NetField, 12> kNetworkTable = {{
    {"NET_ENABLED", NetKind::Bool, &NetworkSettings::enabled},
    {"NET_HOST", NetKind::Text, &NetworkSettings::host},
    {"NET_PORT", NetKind::Int, &NetworkSettings::port},
    {"NET_TLS", NetKind::Bool, &NetworkSettings::tls},
    {"NET_CAFILE", NetKind::Path, &NetworkSettings::caFile},
    {"NET_CERTFILE", NetKind::Path, &NetworkSettings::clientCertFile},
    {"NET_KEYFILE", NetKind::Path, &NetworkSettings::clientKeyFile},
    {"NET_USER", NetKind::Text, &NetworkSettings::user},
    {"NET_TOPIC", NetKind::Text, &NetworkSettings::baseTopic},
    {"NET_RATE", NetKind::Int, &NetworkSettings::rate},
    {"NET_DISCOVERY", NetKind::Bool, &NetworkSettings::discovery},
    {"NET_REMOTE", NetKind::Text, &NetworkSettings::remoteBase},
}};

// Takes one stored value into `network` when it has the field's type; otherwise the field
// keeps what it holds (its default).
void readField(const NetField& field, const StoredValue& value, NetworkSettings& network) {
    const bool isText =
        value.type == StoredValue::Type::String || value.type == StoredValue::Type::ExpandString;
    const bool isDword = value.type == StoredValue::Type::Dword;
    if (const auto* flag = std::get_if<bool NetworkSettings::*>(&field.member)) {
        if (isDword)
            network.** flag = value.dword != 0;
    } else if (const auto* number = std::get_if<int NetworkSettings::*>(&field.member)) {
        if (isDword)
            network.** number = value.dword;
    } else if (isText && value.text.size() <= kMaxTextBytes) {
        // A text longer than any path was tampered with; the default is the better guess.
        network.*std::get<QString NetworkSettings::*>(field.member) = FromStoredText(value.text);
    }
}

bool writeField(SettingsStore& store, const NetField& field, const NetworkSettings& network) {
    const std::string name = field.name;
    switch (field.kind) {
    case NetKind::Bool:
        return store.writeDword(name, network.*std::get<bool NetworkSettings::*>(field.member));
    case NetKind::Int:
        return store.writeDword(name, network.*std::get<int NetworkSettings::*>(field.member));
    case NetKind::Text:
        return store.writeString(
            name, ToStoredText(network.*std::get<QString NetworkSettings::*>(field.member)));
    case NetKind::Path:
        return store.writeExpandString(
            name, ToStoredText(network.*std::get<QString NetworkSettings::*>(field.member)));
    }
    return false;
}

// Passes every operation through to the real store and, right before closing it, runs
// `tail` on it: the network values share the 32's one opening of the store, so the file
// is read once and committed once, whatever LoadSettings and SaveSettings do inside.
class StoreWithTail final : public SettingsStore {
public:
    StoreWithTail(SettingsStore& inner, std::function<void(SettingsStore&, bool)> tail)
        : inner_(inner), tail_(std::move(tail)) {}

    bool open() override { return inner_.open(); }
    std::string openError() const override { return inner_.openError(); }
    std::string openNotice() const override { return inner_.openNotice(); }
    StoredValue read(const std::string& name) override { return inner_.read(name); }
    bool writeString(const std::string& name, const std::string& value) override {
        return note(inner_.writeString(name, value));
    }
    bool writeExpandString(const std::string& name, const std::string& value) override {
        return note(inner_.writeExpandString(name, value));
    }
    bool writeDword(const std::string& name, std::int32_t value) override {
        return note(inner_.writeDword(name, value));
    }
    bool close() override {
        tail_(inner_, refused_);
        closed_ = inner_.close();
        return closed_;
    }
    bool closed() const { return closed_; }

private:
    bool note(bool written) {
        refused_ = refused_ || !written;
        return written;
    }

    SettingsStore& inner_;
    std::function<void(SettingsStore&, bool refused)> tail_;
    bool refused_ = false;
    bool closed_ = false;
};

} // namespace

NetworkSettings ReadNetworkSettings(SettingsStore& store) {
    NetworkSettings network;
    for (const NetField& field : kNetworkTable)
        readField(field, store.read(field.name), network);
    if (network.port < 1 || network.port > 65535)
        network.port = network.tls ? kMqttTlsPort : kMqttPort;
    if (network.rate < 0 || network.rate > kMaxRate)
        network.rate = NetworkSettings{}.rate;
    return network;
}

const char* WriteNetworkSettings(SettingsStore& store, const NetworkSettings& network) {
    for (const NetField& field : kNetworkTable)
        if (!writeField(store, field, network))
            return field.name;
    return nullptr;
}

void LoadSettingsWithNetwork(SettingsStore& store, Settings& target, NetworkSettings& network,
                             const SettingsMessage& message) {
    StoreWithTail tail(store,
                       [&](SettingsStore& open, bool) { network = ReadNetworkSettings(open); });
    LoadSettings(tail, target, message);
}

void SaveSettingsWithNetwork(SettingsStore& store, const Settings& source,
                             const NetworkSettings& network, const SettingsMessage& message) {
    const char* refused = nullptr;
    StoreWithTail tail(store, [&](SettingsStore& open, bool refusedBefore) {
        if (!refusedBefore)
            refused = WriteNetworkSettings(open, network);
    });
    SaveSettings(tail, source, message);
    // When the commit failed, SaveSettings has told so already (nothing reached the store).
    if (refused && tail.closed() && message)
        message(std::string("Fehler beim Setzen der Daten für '") + refused + "'");
}
