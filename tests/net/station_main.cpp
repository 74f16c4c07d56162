// A publishing station for the tests that must kill one: connects to the broker named on the
// command line and says "connected" on its standard output once the broker has accepted it.
//   monidesk_net_station PORT BASE
#include "net/mqtt_client.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: monidesk_net_station PORT BASE\n");
        return 2;
    }
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
