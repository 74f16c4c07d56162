#include "net/mqtt_client.h"

#include "net/mqtt_messages.h"
#include "net/mqtt_worker.h"

#include <QThread>

#include <mosquitto.h>

#include <mutex>

namespace {

constexpr int kExitWaitMs = 2000;

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

} // namespace

MqttClient::MqttClient(QObject* parent) : QObject(parent), stateText_(OffText()) {
    InitLibrary();
}

MqttClient::~MqttClient() {
    QThread* thread = thread_;
    retire();
    if (thread && thread->wait(kExitWaitMs))
        delete thread;
    // A thread still stuck in a name lookup is left to end with the process.
}

void MqttClient::start(const MqttTarget& target) {
    retire();
    target_ = target;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("mqtt"));
    worker_ = new MqttWorker(target);
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::started, worker_, &MqttWorker::begin);
    connect(worker_, &MqttWorker::up, this, &MqttClient::workerUp);
    connect(worker_, &MqttWorker::down, this, &MqttClient::workerDown);
    connect(worker_, &MqttWorker::acknowledged, this, &MqttClient::acknowledged);
    connect(worker_, &MqttWorker::telegram, this, &MqttClient::telegramReceived);
    // Directly: the GUI thread may be waiting for the thread to end.
    connect(worker_, &MqttWorker::finished, thread_, &QThread::quit, Qt::DirectConnection);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
    setState(MqttState::Connecting, ConnectingText(target_));
    thread_->start();
}

void MqttClient::stop() {
    retire();
    setState(MqttState::Off, OffText());
}

void MqttClient::refuse(const QString& why) {
    retire();
    setState(MqttState::Failed, why);
}

void MqttClient::retire() {
    if (!worker_)
        return;
    disconnect(worker_, nullptr, this, nullptr);
    QMetaObject::invokeMethod(worker_, &MqttWorker::finish, Qt::QueuedConnection);
    worker_ = nullptr;
    thread_ = nullptr;
    if (state_ == MqttState::Connected) {
        state_ = MqttState::Connecting;
        Q_EMIT disconnected();
    }
}

void MqttClient::publish(const QString& topic, const QByteArray& payload, int qos, bool retain,
                         std::uint64_t tag) {
    if (!worker_ || state_ != MqttState::Connected)
        return;
    MqttWorker* worker = worker_;
    const std::uint64_t session = session_;
    QMetaObject::invokeMethod(
        worker,
        [worker, session, topic, payload, qos, retain, tag] {
            worker->publish(session, topic, payload, qos, retain, tag);
        },
        Qt::QueuedConnection);
}

void MqttClient::setState(MqttState state, const QString& text) {
    if (state == state_ && text == stateText_)
        return;
    state_ = state;
    stateText_ = text;
    Q_EMIT stateChanged(state, text);
}

void MqttClient::workerUp(std::uint64_t session) {
    session_ = session;
    setState(MqttState::Connected, ConnectedText(target_));
    Q_EMIT connected();
}

void MqttClient::workerDown(const QString& why) {
    const bool wasConnected = state_ == MqttState::Connected;
    setState(MqttState::Failed, why);
    if (wasConnected)
        Q_EMIT disconnected();
}
