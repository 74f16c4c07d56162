// A station of its own for the tests that kill one with SIGKILL.
//   monidesk_net_station PORT BASE      connects and says "connected" once the broker took it
//   monidesk_net_station --append DIR   appends numbered documents to an outbox in DIR as fast
//                                       as it can, saying how many are stored now and then
#include "net/mqtt_client.h"
#include "net/outbox.h"

#include <QCoreApplication>

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
