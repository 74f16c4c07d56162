#include "app/diagnose.h"

#include "platform/window_frame.h"
#include "widgets/led.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* monoLabel(const QString& text, QWidget* parent) {
    // The device labels pad with spaces ("NAME    : "), so they read best in a fixed font.
    auto* label = new QLabel(text, parent);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

Led* makeLed(QWidget* parent) {
    auto* led = new Led(parent);
    led->setColors(QColor(0, 255, 0), QColor(0, 96, 0));
    led->setFixedSize(18, 18);
    return led;
}

} // namespace

TfmDiagnose::TfmDiagnose(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Diagnose"), 513, 392);

    auto* scan = new QGroupBox(QStringLiteral("DATASCAN"), this);
    scan->setGeometry(8, 6, 120, 112);
    led_scanusb = makeLed(scan);
    led_scancom = makeLed(scan);
    led_scannet = makeLed(scan); // the remote link: telegrams of another station
    auto* scanLayout = new QVBoxLayout(scan);
    for (auto [led, caption] : {std::pair{led_scanusb, "USB"}, std::pair{led_scancom, "COM"},
                                std::pair{led_scannet, "NETZ"}}) {
        auto* row = new QHBoxLayout;
        row->addWidget(led);
        row->addWidget(new QLabel(QString::fromLatin1(caption), scan));
        row->addStretch();
        scanLayout->addLayout(row);
    }

    auto* receivers = new QGroupBox(QStringLiteral("USB-RECEIVERS"), this);
    receivers->setGeometry(136, 6, 369, 112);
    l_devcount = monoLabel(QStringLiteral("DEVICES: 0"), receivers);
    l_devname = monoLabel(QStringLiteral("NAME: NONE."), receivers);
    auto* receiverLayout = new QVBoxLayout(receivers);
    receiverLayout->addWidget(l_devcount);
    receiverLayout->addWidget(l_devname);

    auto* stream = new QGroupBox(QStringLiteral("DATA-STREAM"), this);
    stream->setGeometry(8, 124, 497, 64);
    led_datastream = makeLed(stream);
    l_incount = monoLabel(QStringLiteral("-/-"), stream);
    auto* streamLayout = new QHBoxLayout(stream);
    streamLayout->addWidget(led_datastream);
    streamLayout->addWidget(l_incount, 1);

    // Whether each data logger writes, waits for its first readings or pauses for a silent
    // transmitter; the tick keeps it current.
    auto* loggers = new QGroupBox(QStringLiteral("DATENLOGGER"), this);
    loggers->setGeometry(8, 194, 497, 82);
    l_termlog = monoLabel(QStringLiteral("TermoLog: aus"), loggers);
    l_levellog = monoLabel(QStringLiteral("LevelLog: aus"), loggers);
    auto* loggerLayout = new QVBoxLayout(loggers);
    loggerLayout->addWidget(l_termlog);
    loggerLayout->addWidget(l_levellog);

    // The broker connection in words (its last error while it fails) and the outboxes'
    // figures; the station and the tick keep them current.
    auto* network = new QGroupBox(QStringLiteral("NETZWERK"), this);
    network->setGeometry(8, 282, 497, 102);
    l_network = monoLabel(QStringLiteral("Netzwerk: aus"), network);
    l_network->setWordWrap(true);
    l_outbox = monoLabel(QStringLiteral("Outbox: 0 wartend, 0 verworfen"), network);
    auto* networkLayout = new QVBoxLayout(network);
    networkLayout->addWidget(l_network);
    networkLayout->addWidget(l_outbox);
}

void TfmDiagnose::toggleScanNet() {
    led_scannet->toggle();
}
void TfmDiagnose::showNetworkState(const QString& text) {
    l_network->setText(text);
}
void TfmDiagnose::showOutbox(std::int64_t waiting, std::uint64_t dropped) {
    const QString text =
        QStringLiteral("Outbox: %1 wartend, %2 verworfen").arg(waiting).arg(dropped);
    if (l_outbox->text() != text)
        l_outbox->setText(text);
}

void TfmDiagnose::toggleScanUsb() {
    led_scanusb->toggle();
}
void TfmDiagnose::toggleScanCom() {
    led_scancom->toggle();
}
void TfmDiagnose::toggleDataStream() {
    led_datastream->toggle();
}
void TfmDiagnose::setDeviceCountText(const QString& text) {
    l_devcount->setText(text);
}
void TfmDiagnose::setDeviceNameText(const QString& text) {
    l_devname->setText(text);
}
