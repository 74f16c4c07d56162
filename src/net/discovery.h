#pragma once

#include "net/instrument_states.h"
#include "net/state_documents.h"

#include <QList>
#include <QString>

#include <array>

// Home Assistant MQTT discovery: retained config messages under "homeassistant/", one device
// per transmitter (manufacturer "Velcor", model "HeatSpan" or "TideSpan"), its entities'
// unique ids made of the station (the base topic as one word), the instrument and the value,
// so that they stay the same across restarts and renames. Every entity is available while
// "<base>/status" says "online"; a temperature also needs its sensor_error topic to say OFF,
// so a channel without a value shows as unavailable rather than as a stale number.

// Channel `channel` (1..8): its temperature sensor (device class temperature, °C, state class
// measurement), and its alarm and sensor-error binary sensors (device class problem), named
// after the channel ("Kessel", "Kessel Alarm", "Kessel Sensorfehler").
QList<TopicMessage> HeatSpanChannelDiscovery(const QString& base, int channel, const QString& name);
// All 24 HeatSpan entities.
QList<TopicMessage> HeatSpanDiscovery(const QString& base,
                                      const std::array<QString, kHeatSpanChannels>& names);
// The four TideSpan values: "Füllstand" (%), "Pegel" and "Distanz" (cm), "Volumen" (L).
QList<TopicMessage> TideSpanDiscovery(const QString& base);
