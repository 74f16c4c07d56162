#pragma once

#include "net/network_settings.h"

#include <QString>

// The station's topics. Everything is published under one base topic:
//   <base>/status                                online / offline (retained, last will)
//   <base>/heatspan/temperature/<1..8>           "21.5" (retained; empty: no value)
//   <base>/heatspan/alarm/<1..8>                 ON / OFF (retained)
//   <base>/heatspan/sensor_error/<1..8>          ON / OFF (retained)
//   <base>/tidespan/percent|height_cm|distance_cm|volume_l   (retained)
//   <base>/heatspan/state, <base>/tidespan/state  one JSON document per reading (QoS 1)
//   <base>/telegram                              each checked telegram's 12 bytes

// The setting, or DefaultBaseTopic() when it is empty; surrounding blanks and slashes go.
QString EffectiveBaseTopic(const NetworkSettings& settings);
// Whether readings can be published below `base`: not empty, and no wildcard ('+', '#') or
// NUL, which a broker refuses in a topic one publishes to.
bool IsPublishableTopic(const QString& base);
// The remote station's telegram topic; empty when no remote base is set.
QString RemoteTelegramTopic(const NetworkSettings& settings);

// Milliseconds between two state documents of one instrument for a rate setting: 0 (every
// reading), 1 s, 10 s, 60 s; anything else counts as the default, 1 s.
int RateIntervalMs(int rate);

// The base topic as one word for Home Assistant ids: anything but letters, digits, '-' and
// '_' made '_' ("monidesk/pc-7" gives "monidesk_pc-7").
QString StationId(const QString& baseTopic);
