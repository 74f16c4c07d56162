#include "net/mqtt_worker.h"

#include "net/mqtt_messages.h"

#include <QSocketNotifier>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kHousekeepingMs = 250;

QByteArray Bytes(const QString& text) {
    return text.toUtf8();
}

// Never ask on a terminal for the passphrase of an encrypted client key: no passphrase.
int NoKeyPassphrase(char*, int, int, void*) {
    return 0;
}

} // namespace

MqttWorker::MqttWorker(const MqttTarget& target)
    : target_(target), retrySeconds_(std::max(1, target.firstRetrySeconds)) {
    housekeeping_.setInterval(kHousekeepingMs);
    housekeeping_.setParent(this);
    retry_.setSingleShot(true);
    retry_.setParent(this);
    connect(&housekeeping_, &QTimer::timeout, this, &MqttWorker::housekeeping);
    connect(&retry_, &QTimer::timeout, this, &MqttWorker::attempt);
}

MqttWorker::~MqttWorker() {
    teardown();
}

void MqttWorker::begin() {
    housekeeping_.start();
    attempt();
}

bool MqttWorker::configure() {
    mosquitto_connect_callback_set(mosq_, &MqttWorker::onConnect);
    mosquitto_publish_callback_set(mosq_, &MqttWorker::onPublish);
    mosquitto_message_callback_set(mosq_, &MqttWorker::onMessage);
    mosquitto_log_callback_set(mosq_, &MqttWorker::onLog);
    // As many QoS 1 messages unacknowledged as the publisher keeps in flight: an outbox
    // replays at twice the rate of libmosquitto's default of 20.
    mosquitto_int_option(mosq_, MOSQ_OPT_SEND_MAXIMUM, 256);
    const QByteArray status = Bytes(target_.statusTopic);
    if (!status.isEmpty())
        mosquitto_will_set(mosq_, status.constData(), 7, "offline", 1, true);
    if (!target_.user.isEmpty()) {
        mosquitto_username_pw_set(mosq_, Bytes(target_.user).constData(),
                                  target_.password.isEmpty() ? nullptr
                                                             : Bytes(target_.password).constData());
    }
    if (target_.tls) {
        const QByteArray ca = target_.caFile.toLocal8Bit();
        const QByteArray cert = target_.clientCertFile.toLocal8Bit();
        const QByteArray key = target_.clientKeyFile.toLocal8Bit();
        const bool withCert = !cert.isEmpty() || !key.isEmpty();
        const int rc = mosquitto_tls_set(mosq_, ca.isEmpty() ? nullptr : ca.constData(), nullptr,
                                         withCert ? cert.constData() : nullptr,
                                         withCert ? key.constData() : nullptr, &NoKeyPassphrase);
        if (rc != MOSQ_ERR_SUCCESS) {
            fail(TlsFilesText(target_));
            return false;
        }
    }
    return true;
}

void MqttWorker::attempt() {
    if (finishing_ || mosq_)
        return;
    mosq_ = mosquitto_new(nullptr, true, this);
    if (!mosq_) {
        fail(QStringLiteral("Zu wenig Speicher für die Verbindung zum Broker"));
        return;
    }
    if (!configure())
        return;
    attemptClock_.start();
    // Resolves the name and starts TCP (and TLS) without waiting for the broker's answer.
    const int rc = mosquitto_connect_async(mosq_, Bytes(target_.host).constData(), target_.port,
                                           std::max(5, target_.keepAliveSeconds));
    const int err = errno;
    if (rc != MOSQ_ERR_SUCCESS) {
        fail(ConnectFailureText(target_, rc, err, tlsDetail_, false));
        return;
    }
    watchSocket();
}

void MqttWorker::watchSocket() {
    const int socket = mosquitto_socket(mosq_);
    if (socket < 0) {
        fail(NoAnswerText(target_));
        return;
    }
    reader_ = new QSocketNotifier(socket, QSocketNotifier::Read, this);
    writer_ = new QSocketNotifier(socket, QSocketNotifier::Write, this);
    connect(reader_, &QSocketNotifier::activated, this, &MqttWorker::readReady);
    connect(writer_, &QSocketNotifier::activated, this, &MqttWorker::writeReady);
    writer_->setEnabled(mosquitto_want_write(mosq_));
}

void MqttWorker::readReady() {
    if (!mosq_)
        return;
    const int rc = mosquitto_loop_read(mosq_, 1);
    settle(rc, errno);
}

void MqttWorker::writeReady() {
    if (!mosq_)
        return;
    const int rc = mosquitto_loop_write(mosq_, 1);
    settle(rc, errno);
}

void MqttWorker::housekeeping() {
    if (!mosq_)
        return;
    if (!connected_ && attemptClock_.elapsed() > target_.connectTimeoutMs) {
        fail(NoAnswerText(target_));
        return;
    }
    const int rc = mosquitto_loop_misc(mosq_);
    settle(rc == MOSQ_ERR_NO_CONN && !connected_ ? MOSQ_ERR_SUCCESS : rc, errno);
}

void MqttWorker::settle(int rc, int errnoValue) {
    if (!acks_.isEmpty()) {
        Q_EMIT acknowledged(acks_);
        acks_.clear();
    }
    if (refusal_) {
        fail(ConnectRefusedText(*refusal_, !target_.user.isEmpty()));
        return;
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        fail(ConnectFailureText(target_, rc, errnoValue, tlsDetail_, connected_));
        return;
    }
    if (writer_)
        writer_->setEnabled(mosquitto_want_write(mosq_));
}

void MqttWorker::fail(const QString& why) {
    teardown();
    connected_ = false;
    if (finishing_)
        return;
    Q_EMIT down(why);
    retry_.start(retrySeconds_ * 1000);
    retrySeconds_ = std::min(retrySeconds_ * 2, std::max(1, target_.lastRetrySeconds));
}

void MqttWorker::teardown() {
    // The notifiers go before the socket they watch is closed.
    delete reader_;
    delete writer_;
    reader_ = writer_ = nullptr;
    if (mosq_)
        mosquitto_destroy(mosq_);
    mosq_ = nullptr;
    tagOfMid_.clear();
    refusal_.reset();
    tlsDetail_.clear();
}

void MqttWorker::publish(std::uint64_t session, const QString& topic, const QByteArray& payload,
                         int qos, bool retain, std::uint64_t tag) {
    if (!connected_ || !mosq_ || session != session_)
        return;
    int mid = 0;
    const int rc =
        mosquitto_publish(mosq_, &mid, Bytes(topic).constData(), static_cast<int>(payload.size()),
                          payload.constData(), qos, retain);
    if (rc == MOSQ_ERR_SUCCESS && tag != 0 && qos > 0)
        tagOfMid_.insert(mid, tag);
    // A message the library refuses (a topic with a wildcard, too large) is dropped; only a
    // failing connection ends the connection.
    const bool broken = rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST ||
                        rc == MOSQ_ERR_ERRNO || rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_PROTOCOL ||
                        rc == MOSQ_ERR_NOMEM;
    settle(broken ? rc : MOSQ_ERR_SUCCESS, errno);
}

void MqttWorker::finish() {
    finishing_ = true;
    retry_.stop();
    housekeeping_.stop();
    if (mosq_ && connected_) {
        const QByteArray status = Bytes(target_.statusTopic);
        if (!status.isEmpty())
            mosquitto_publish(mosq_, nullptr, status.constData(), 7, "offline", 1, true);
        mosquitto_disconnect(mosq_);
        // Lets the last packets out; a broker that does not take them gets the will anyway.
        for (int i = 0; i < 10 && mosquitto_want_write(mosq_); ++i)
            mosquitto_loop(mosq_, 50, 1);
    }
    teardown();
    connected_ = false;
    Q_EMIT finished();
}

void MqttWorker::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* worker = static_cast<MqttWorker*>(self);
    if (rc != 0) {
        worker->refusal_ = rc;
        return;
    }
    worker->connected_ = true;
    ++worker->session_;
    worker->retrySeconds_ = std::max(1, worker->target_.firstRetrySeconds);
    const QByteArray status = Bytes(worker->target_.statusTopic);
    if (!status.isEmpty())
        mosquitto_publish(mosq, nullptr, status.constData(), 6, "online", 1, true);
    const QByteArray remote = Bytes(worker->target_.remoteTelegramTopic);
    if (!remote.isEmpty())
        mosquitto_subscribe(mosq, nullptr, remote.constData(), 1);
    Q_EMIT worker->up(worker->session_);
}

void MqttWorker::onPublish(mosquitto*, void* self, int mid) {
    auto* worker = static_cast<MqttWorker*>(self);
    const auto found = worker->tagOfMid_.constFind(mid);
    if (found == worker->tagOfMid_.cend())
        return;
    worker->acks_.append(found.value());
    worker->tagOfMid_.erase(found);
}

void MqttWorker::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* worker = static_cast<MqttWorker*>(self);
    if (message->payloadlen != 12 ||
        QString::fromUtf8(message->topic) != worker->target_.remoteTelegramTopic)
        return;
    Q_EMIT worker->telegram(QByteArray(static_cast<const char*>(message->payload), 12));
}

void MqttWorker::onLog(mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR)
        return;
    const QString line = QString::fromUtf8(text);
    if (line.startsWith(QLatin1String("OpenSSL Error")))
        static_cast<MqttWorker*>(self)->tlsDetail_ = line;
}
