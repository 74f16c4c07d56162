#include "broker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <mosquitto.h>

#include <cstdint>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kStartWaitMs = 10'000;

bool Run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(30'000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

QString MosquittoProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("mosquitto"),
                                          {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"),
                                           QStringLiteral("/usr/local/sbin")});
}

} // namespace

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

int ListenOnLoopback(int backlog, int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd, backlog);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

SilentPort::SilentPort() {
    listener_ = ListenOnLoopback(0, port_);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    for (int& filler : fillers_) {
        filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
}

SilentPort::~SilentPort() {
    for (int fd : {fillers_[0], fillers_[1], client_, listener_})
        if (fd >= 0)
            ::close(fd);
}

void SilentPort::release() {
    for (int& filler : fillers_) {
        const int accepted = ::accept(listener_, nullptr, nullptr);
        if (accepted >= 0)
            ::close(accepted);
        ::close(filler);
        filler = -1;
    }
}

bool SilentPort::answerConnect() {
    if (client_ < 0)
        client_ = ::accept(listener_, nullptr, nullptr);
    if (client_ < 0)
        return false;
    char packet[256];
    const ssize_t n = ::recv(client_, packet, sizeof packet, MSG_DONTWAIT);
    if (n <= 0 || static_cast<unsigned char>(packet[0]) != 0x10) // CONNECT
        return false;
    const char connack[] = {0x20, 0x02, 0x00, 0x00};
    return ::send(client_, connack, sizeof connack, 0) == sizeof connack;
}

Broker::Broker() : Broker(Options{}) {}

Broker::Broker(const Options& options) : options_(options) {}

Broker::~Broker() {
    if (process_.state() != QProcess::NotRunning) {
        resume();
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString Broker::caFile() const {
    return dir_.filePath(QStringLiteral("ca.crt"));
}

QString Broker::wrongCaFile() const {
    return dir_.filePath(QStringLiteral("wrong-ca.crt"));
}

bool Broker::makeCertificates() {
    const QString openssl = QStringLiteral("openssl");
    const QString folder = dir_.path();
    for (const char* ca : {"ca", "wrong-ca"}) {
        const QString name = QString::fromLatin1(ca);
        if (!Run(openssl,
                 {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                  "/CN=Monidesk test " + name, "-keyout", name + ".key", "-out", name + ".crt"},
                 folder))
            return false;
    }
    QFile extensions(dir_.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n") < 0)
        return false;
    extensions.close();
    return Run(openssl,
               {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost", "-keyout",
                "server.key", "-out", "server.csr"},
               folder) &&
           Run(openssl,
               {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                "-CAcreateserial", "-days", "2", "-extfile", "server.ext", "-out", "server.crt"},
               folder);
}

bool Broker::writeConfig() {
    QByteArray config = "listener " + QByteArray::number(port_) + " 127.0.0.1\n";
    config += options_.persistence
                  ? "persistence true\npersistence_location " + dir_.path().toUtf8() + "/\n"
                  : QByteArray("persistence false\n");
    // As root, mosquitto would otherwise drop to a user that cannot read the scratch files.
    if (::geteuid() == 0)
        config += "user root\n";
    if (options_.user.isEmpty()) {
        config += "allow_anonymous true\n";
    } else {
        const QString passwords = dir_.filePath(QStringLiteral("passwords"));
        if (!Run(QStringLiteral("mosquitto_passwd"),
                 {"-b", "-c", passwords, options_.user, options_.password}, dir_.path())) {
            error_ = QStringLiteral("mosquitto_passwd failed");
            return false;
        }
        config += "allow_anonymous false\npassword_file " + passwords.toUtf8() + "\n";
    }
    if (options_.tls) {
        if (!QFile::exists(caFile()) && !makeCertificates()) {
            error_ = QStringLiteral("openssl could not make the test certificates");
            return false;
        }
        config += "cafile " + caFile().toUtf8() + "\ncertfile " +
                  dir_.filePath(QStringLiteral("server.crt")).toUtf8() + "\nkeyfile " +
                  dir_.filePath(QStringLiteral("server.key")).toUtf8() + "\n";
    }
    QFile file(dir_.filePath(QStringLiteral("mosquitto.conf")));
    return file.open(QIODevice::WriteOnly) && file.write(config) == config.size();
}

bool Broker::start() {
    if (MosquittoProgram().isEmpty()) {
        error_ = QStringLiteral("mosquitto is not installed (scripts/install-deps)");
        return false;
    }
    if (port_ == 0)
        port_ = FreeLoopbackPort();
    if (!writeConfig())
        return false;
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(dir_.filePath(QStringLiteral("mosquitto.log")),
                                   QIODevice::Append);
    process_.start(MosquittoProgram(), {"-c", dir_.filePath(QStringLiteral("mosquitto.conf"))});
    if (!process_.waitForStarted(kStartWaitMs)) {
        error_ = QStringLiteral("mosquitto did not start");
        return false;
    }
    const QDeadlineTimer deadline(kStartWaitMs);
    while (!Accepts(port_)) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
            error_ = QStringLiteral("mosquitto does not listen on port %1").arg(port_);
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void Broker::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    resume();
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void Broker::pause() {
    if (process_.state() != QProcess::NotRunning)
        ::kill(static_cast<pid_t>(process_.processId()), SIGSTOP);
}

void Broker::resume() {
    if (process_.state() != QProcess::NotRunning)
        ::kill(static_cast<pid_t>(process_.processId()), SIGCONT);
}

Subscriber::Subscriber(int port, const QString& filter, const QString& clientId) : filter_(filter) {
    mosquitto_lib_init();
    mosq_ = clientId.isEmpty() ? mosquitto_new(nullptr, true, this)
                               : mosquitto_new(clientId.toUtf8().constData(), false, this);
    mosquitto_message_callback_set(mosq_, &Subscriber::onMessage);
    mosquitto_subscribe_callback_set(mosq_, &Subscriber::onSubscribe);
    mosquitto_connect_callback_set(mosq_, [](mosquitto* mosq, void* self, int rc) {
        if (rc == 0)
            mosquitto_subscribe(mosq, nullptr,
                                static_cast<Subscriber*>(self)->filter_.toUtf8().constData(), 1);
    });
    mosquitto_connect_async(mosq_, "127.0.0.1", port, 30);
    mosquitto_loop_start(mosq_);
}

Subscriber::~Subscriber() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
}

void Subscriber::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<Subscriber*>(self);
    ReceivedMessage received;
    received.topic = QString::fromUtf8(message->topic);
    received.payload = QByteArray(static_cast<const char*>(message->payload), message->payloadlen);
    received.retain = message->retain;
    received.qos = message->qos;
    const std::lock_guard<std::mutex> guard(subscriber->lock_);
    subscriber->received_.append(received);
}

void Subscriber::onSubscribe(mosquitto*, void* self, int, int, const int*) {
    auto* subscriber = static_cast<Subscriber*>(self);
    const std::lock_guard<std::mutex> guard(subscriber->lock_);
    subscriber->subscribed_ = true;
}

bool Subscriber::ready(int waitMs) {
    return QTest::qWaitFor(
        [this] {
            const std::lock_guard<std::mutex> guard(lock_);
            return subscribed_;
        },
        waitMs);
}

QList<ReceivedMessage> Subscriber::messages() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return received_;
}

QList<ReceivedMessage> Subscriber::on(const QString& topic) const {
    QList<ReceivedMessage> found;
    for (const ReceivedMessage& message : messages())
        if (message.topic == topic)
            found.append(message);
    return found;
}

bool Subscriber::waitFor(const std::function<bool(const QList<ReceivedMessage>&)>& done,
                         int waitMs) const {
    return QTest::qWaitFor([&] { return done(messages()); }, waitMs);
}
