#pragma once

// A real mosquitto broker for the tests, started by the test itself on a free loopback port
// with its own configuration in a scratch folder (never the system's service), and a plain
// libmosquitto subscriber that records what the broker hands out, retain flags included.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <mutex>

struct mosquitto;

class Broker {
public:
    struct Options {
        bool tls = false;
        QString user, password; // a user: anonymous clients are refused
        // Sessions and queued messages survive a restart (kept in the scratch folder).
        bool persistence = false;
    };
    Broker();
    explicit Broker(const Options& options);
    ~Broker();
    Broker(const Broker&) = delete;
    Broker& operator=(const Broker&) = delete;

    // Starts the broker (on the same port again after stop()); false with the reason in
    // error() when it does not come up.
    bool start();
    void stop();   // SIGTERM, as an administrator stops it
    void pause();  // SIGSTOP: the port stays open, nothing answers
    void resume(); // SIGCONT
    int port() const { return port_; }
    const QString& error() const { return error_; }

    // The CA that signed the broker's certificate, and one that did not (TLS brokers).
    QString caFile() const;
    QString wrongCaFile() const;

private:
    bool writeConfig();
    bool makeCertificates();

    Options options_;
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    QString error_;
};

// A port on 127.0.0.1 nobody listens on (bound and released again).
int FreeLoopbackPort();

// A non-blocking socket listening on 127.0.0.1 at a port the system picks (`port`), with
// `backlog` unaccepted connections at most.
int ListenOnLoopback(int backlog, int& port);

// A loopback port whose queue of unaccepted connections is full: new connection attempts are
// dropped without an answer, as by a host that drops packets, until release() empties the
// queue; the next attempt (the kernel repeats a dropped one after a second or more) then
// gets through and answerConnect() plays a broker that accepts it.
class SilentPort {
public:
    SilentPort();
    ~SilentPort();
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    int port() const { return port_; }
    void release();
    // Accepts a waiting connection, reads its CONNECT and answers with a CONNACK; true when
    // a CONNECT came.
    bool answerConnect();

private:
    int listener_ = -1;
    int fillers_[2] = {-1, -1};
    int client_ = -1;
    int port_ = 0;
};

struct ReceivedMessage {
    QString topic;
    QByteArray payload;
    bool retain = false;
    int qos = 0;
};

// Subscribes to `filter` on 127.0.0.1:port and records every message, on libmosquitto's own
// thread, reconnecting when the broker comes back. With a client id the session is kept: a
// broker with persistence queues what arrives while the subscriber is away (QoS 1).
class Subscriber {
public:
    Subscriber(int port, const QString& filter, const QString& clientId = {});
    ~Subscriber();
    Subscriber(const Subscriber&) = delete;
    Subscriber& operator=(const Subscriber&) = delete;

    // True once the broker has confirmed the subscription (waits for it).
    bool ready(int waitMs = 10'000);
    QList<ReceivedMessage> messages() const;
    QList<ReceivedMessage> on(const QString& topic) const;
    // Runs the GUI event loop until `done` holds for the recorded messages (or waitMs passed).
    bool waitFor(const std::function<bool(const QList<ReceivedMessage>&)>& done,
                 int waitMs = 20'000) const;

private:
    static void onMessage(mosquitto*, void* self, const struct mosquitto_message* message);
    static void onSubscribe(mosquitto*, void* self, int, int, const int*);

    mosquitto* mosq_ = nullptr;
    QString filter_;
    mutable std::mutex lock_;
    QList<ReceivedMessage> received_;
    bool subscribed_ = false;
};
