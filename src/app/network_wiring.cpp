#include "app/network_wiring.h"

#include "app/diagnose.h"
#include "app/monidesk.h"

#include "level/level_state.h"
#include "link/heatspan_telegram.h"
#include "link/link_state.h"
#include "net/instrument_states.h"
#include "net/network_settings_store.h"
#include "net/network_station.h"
#include "net/network_window.h"
#include "net/password_keeper.h"
#include "net/remote_link.h"
#include "platform/file_text.h"
#include "settings/settings.h"
#include "temperature/temperature_state.h"

#include <algorithm>
#include <optional>

NetworkStation* networkStation = nullptr;

namespace {

// The last status reading's bits: every HeatSpan state carries them once one has come.
std::optional<HeatSpanStatus> lastStatus;
// The channels a reading has brought since the start. Until both halves have come, the live
// temperatures of the others are the start's zeros, no measurement: no state goes out (a
// "no value" there would flag a sensor error for a moment).
std::array<bool, kHeatSpanChannels> channelSeen{};

bool AllChannelsSeen() {
    return std::all_of(channelSeen.cbegin(), channelSeen.cend(), [](bool seen) { return seen; });
}

HeatSpanStatus StatusOf(const StatusReading& reading) {
    HeatSpanStatus status;
    status.alarm = reading.alarm();
    status.sensorError = reading.sensorError();
    status.output1 = (reading.status & kStatusOutput1) != 0;
    status.output2 = (reading.status & kStatusOutput2) != 0;
    status.highRange7 = reading.highRange7;
    status.highRange8 = reading.highRange8;
    return status;
}

// The state after a reading: the live temperatures (the reading is already in them), the
// setup window's channel names and the last status.
HeatSpanState HeatSpanNow(const QDateTime& time) {
    std::array<QString, kHeatSpanChannels> names;
    for (int n = 1; n <= kHeatSpanChannels; ++n)
        names[n - 1] = FromStoredText(settings.channelName(n));
    return HeatSpanStateOf(time, liveTemperatures, names, lastStatus);
}

void applyNetwork() {
    networkStation->apply(networkSettings, passwordKeeper->password());
}

QString StateText(MqttState state, const QString& text) {
    switch (state) {
    case MqttState::Off:
        return QStringLiteral("Netzwerk: aus");
    case MqttState::Connecting:
        return QStringLiteral("Netzwerk: verbinde mit %1:%2")
            .arg(networkSettings.host.trimmed())
            .arg(networkSettings.port);
    case MqttState::Connected:
        return QStringLiteral("Netzwerk: verbunden mit %1:%2")
            .arg(networkSettings.host.trimmed())
            .arg(networkSettings.port);
    case MqttState::Failed:
        return QStringLiteral("Netzwerk: ") + text;
    }
    return {};
}

} // namespace

void CreateNetworkStation() {
    networkStation = new NetworkStation;
    // A failed try changes the state once per run of failures: one line in each window,
    // never a message box.
    QObject::connect(&networkStation->client(), &MqttClient::stateChanged, networkStation,
                     [](MqttState state, const QString& text) {
                         fmNetwork->showConnection(state == MqttState::Connected,
                                                   state == MqttState::Failed ? text : QString());
                         fmDiagnose->showNetworkState(StateText(state, text));
                     });
    QObject::connect(networkStation, &NetworkStation::outboxFailed, networkStation,
                     [](const QString& text) {
                         fmDiagnose->showNetworkState(QStringLiteral("Netzwerk: ") + text);
                     });
    QObject::connect(fmNetwork, &TfmNetwork::settingsChanged, networkStation, applyNetwork);
    QObject::connect(passwordKeeper, &PasswordKeeper::loaded, networkStation, applyNetwork);
}

void AttachNetworkConsumers() {
    temperatureReadings.attach([](const TemperatureReading& reading) {
        for (int i = 0; i < kWordsPerTelegram; ++i)
            channelSeen[reading.firstChannel - 1 + i] = true;
        if (AllChannelsSeen())
            networkStation->publishHeatSpan(HeatSpanNow(reading.time));
    });
    statusReadings.attach([](const StatusReading& reading) {
        lastStatus = StatusOf(reading);
        if (AllChannelsSeen())
            networkStation->publishHeatSpan(HeatSpanNow(reading.time));
    });
    levelReadings.attach([](const LevelReading& reading) {
        networkStation->publishTideSpan(
            TideSpanStateOf(reading.time, reading.words, reading.wholeCentimetres));
    });
    // A telegram that came over the remote link is the other station's to publish: sent on,
    // two stations watching each other would echo it for ever.
    acceptedTelegrams.attach([](const Telegram& telegram) {
        if (!RemoteFeedActive())
            networkStation->publishTelegram(telegram);
    });
}

void DestroyNetworkStation() {
    delete networkStation;
    networkStation = nullptr;
    lastStatus.reset();
    channelSeen.fill(false);
}

void PollRemoteLink() {
    const int fed = DrainRemoteTelegrams();
    if (!fmDiagnose || !networkStation)
        return;
    for (int i = 0; i < fed; ++i)
        fmDiagnose->toggleScanNet();
    std::int64_t waiting = 0;
    std::uint64_t dropped = 0;
    for (const Outbox* outbox :
         {networkStation->heatSpanOutbox(), networkStation->tideSpanOutbox()})
        if (outbox) {
            waiting += outbox->size();
            dropped += outbox->dropped();
        }
    fmDiagnose->showOutbox(waiting, dropped);
}
