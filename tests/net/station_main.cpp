// A station of its own for the tests that kill one with SIGKILL.
//   monidesk_net_station PORT BASE      connects and says "connected" once the broker took it
//   monidesk_net_station --append DIR   appends numbered documents to an outbox in DIR as fast
//                                       as it can, saying how many are stored now and then
//   monidesk_net_station --publish PORT BASE DIR FIRST
//                                       publishes a TideSpan reading every 20 ms with its
//                                       outboxes in DIR, reading n (from FIRST on) timed
//                                       kReadingEpochMs + n s; says n + 1 once it is stored
#include "net/mqtt_client.h"
#include "net/network_station.h"
#include "net/outbox.h"
#include "station_readings.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

int AppendForever(const QString& folder) {
    Outbox outbox(folder);
    if (!outbox.open()) {
        std::fprintf(stderr, "%s\n", qPrintable(outbox.error()));
        return 1;
    }
    for (int i = 0;; ++i) {
        const QByteArray document = QByteArray("{\"n\":") + QByteArray::number(i) + "}";
        if (!outbox.append(document.leftJustified(200, ' ')))
            return 1;
        if (i % 50 == 0) {
            std::printf("%d\n", i + 1);
            std::fflush(stdout);
        }
    }
}

int PublishForever(const QStringList& arguments) {
    NetworkStation station(arguments.at(4));
    NetworkSettings settings;
    settings.enabled = true;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = arguments.at(2).toInt();
    settings.baseTopic = arguments.at(3);
    settings.rate = 0;
    settings.discovery = false;
    station.apply(settings, {});
    int next = arguments.at(5).toInt();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        station.publishTideSpan(NumberedReading(next));
        std::printf("%d\n", ++next);
        std::fflush(stdout);
    });
    timer.start(20);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: monidesk_net_station PORT BASE | --append DIR\n");
        return 2;
    }
    if (arguments.at(1) == QLatin1String("--append"))
        return AppendForever(arguments.at(2));
    if (arguments.at(1) == QLatin1String("--publish") && arguments.size() >= 6)
        return PublishForever(arguments);
    MqttTarget target;
    target.host = QStringLiteral("127.0.0.1");
    target.port = arguments.at(1).toInt();
    target.statusTopic = arguments.at(2) + QStringLiteral("/status");
    MqttClient client;
    QObject::connect(&client, &MqttClient::connected, [] {
        std::printf("connected\n");
        std::fflush(stdout);
    });
    client.start(target);
    return app.exec();
}
