#include "net/network_station.h"

#include "net/remote_link.h"
#include "net/topics.h"

NetworkStation::NetworkStation(const QString& outboxRoot, QObject* parent)
    : QObject(parent), outboxRoot_(outboxRoot) {
    connect(&client_, &MqttClient::telegramReceived, this, &QueueRemoteTelegram);
}

NetworkStation::~NetworkStation() {
    stop();
}

MqttTarget TargetOf(const NetworkSettings& settings, const QString& password) {
    MqttTarget target;
    target.host = settings.host.trimmed();
    target.port = settings.port;
    target.tls = settings.tls;
    target.caFile = settings.caFile;
    target.clientCertFile = settings.clientCertFile;
    target.clientKeyFile = settings.clientKeyFile;
    target.user = settings.user;
    target.password = password;
    target.statusTopic = EffectiveBaseTopic(settings) + QStringLiteral("/status");
    target.remoteTelegramTopic = RemoteTelegramTopic(settings);
    return target;
}

void NetworkStation::openOutboxes() {
    if (heatSpan_)
        return;
    auto folder = [this](const char* instrument) {
        const QString name = QString::fromLatin1(instrument);
        return outboxRoot_.isEmpty() ? Outbox::DefaultFolder(name)
                                     : outboxRoot_ + QLatin1Char('/') + name;
    };
    heatSpan_ = std::make_unique<Outbox>(folder("heatspan"));
    tideSpan_ = std::make_unique<Outbox>(folder("tidespan"));
    for (Outbox* outbox : {heatSpan_.get(), tideSpan_.get()})
        if (!outbox->open())
            Q_EMIT outboxFailed(outbox->error());
}

void NetworkStation::apply(const NetworkSettings& settings, const QString& password) {
    stop();
    if (!settings.enabled)
        return;
    // A wildcard in the base topic would make the broker drop every message silently.
    const QString base = EffectiveBaseTopic(settings);
    if (!IsPublishableTopic(base)) {
        client_.refuse(QStringLiteral("Basis-Topic '%1' ungültig: '+' und '#' sind darin nicht "
                                      "erlaubt")
                           .arg(base));
        return;
    }
    openOutboxes();
    publisher_ =
        std::make_unique<Publisher>(Publisher::ConfigOf(settings), client_, *heatSpan_, *tideSpan_);
    Publisher* publisher = publisher_.get();
    connect(&client_, &MqttClient::connected, publisher, &Publisher::linkUp);
    connect(&client_, &MqttClient::disconnected, publisher, &Publisher::linkDown);
    connect(&client_, &MqttClient::acknowledged, publisher, &Publisher::acknowledged);
    connect(publisher, &Publisher::outboxFailed, this, &NetworkStation::outboxFailed);
    client_.start(TargetOf(settings, password));
}

void NetworkStation::stop() {
    publisher_.reset();
    client_.stop();
}

void NetworkStation::publishHeatSpan(const HeatSpanState& state) {
    if (publisher_)
        publisher_->publishHeatSpan(state);
}

void NetworkStation::publishTideSpan(const TideSpanState& state) {
    if (publisher_)
        publisher_->publishTideSpan(state);
}

void NetworkStation::publishTelegram(const Telegram& telegram) {
    if (publisher_)
        publisher_->publishTelegram(telegram);
}
