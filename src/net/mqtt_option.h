#pragma once

#include "net/network_settings.h"

#include <QString>

#include <optional>

// `--mqtt HOST[:PORT] [--mqtt-topic BASE]`: publishing on for one run (a demo with
// `--simulate --mqtt localhost`), over whatever the network settings say. Nothing of it is
// saved: what the settings held is written back at the end, except a value the user has
// changed in the Netzwerk window meanwhile.
struct MqttOverride {
    QString host;
    std::optional<int> port; // none given: 1883, or 8883 with TLS
    QString baseTopic;       // empty: the stored one
};

struct MqttOptionResult {
    std::optional<MqttOverride> override; // none when neither option was given
    QString error;                        // for the command line; empty when all is well
};

// The two options' values as given (nullopt: the option is absent). The address is
// HOST, HOST:PORT, [IPv6] or [IPv6]:PORT; an IPv6 address without brackets has no port.
MqttOptionResult ParseMqttOptions(const std::optional<QString>& address,
                                  const std::optional<QString>& topic);

void ApplyMqttOverride(NetworkSettings& network, const MqttOverride& override);

// What is saved after a run with `override`: `current`, except that a value the override
// set and the user left as it was goes back to what `stored` held before the override.
NetworkSettings WithoutMqttOverride(const NetworkSettings& current, const NetworkSettings& stored,
                                    const MqttOverride& override);
