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

// A group of two fixed-font lines, one under the other.
QGroupBox* lineGroup(const QString& title, const QRect& geometry, QWidget* parent, QLabel*& first,
                     const QString& firstText, QLabel*& second, const QString& secondText) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(geometry);
    first = monoLabel(firstText, group);
    second = monoLabel(secondText, group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(first);
    layout->addWidget(second);
    return group;
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

    lineGroup(QStringLiteral("USB-RECEIVERS"), QRect(136, 6, 369, 112), this, l_devcount,
              QStringLiteral("DEVICES: 0"), l_devname, QStringLiteral("NAME: NONE."));

    auto* stream = new QGroupBox(QStringLiteral("DATA-STREAM"), this);
    stream->setGeometry(8, 124, 497, 64);
    led_datastream = makeLed(stream);
    l_incount = monoLabel(QStringLiteral("-/-"), stream);
    auto* streamLayout = new QHBoxLayout(stream);
    streamLayout->addWidget(led_datastream);
    streamLayout->addWidget(l_incount, 1);

    // Whether each data logger writes, waits for its first readings or pauses for a silent
    // transmitter; the tick keeps it current.
    lineGroup(QStringLiteral("DATENLOGGER"), QRect(8, 194, 497, 82), this, l_termlog,
              QStringLiteral("TermoLog: aus"), l_levellog, QStringLiteral("LevelLog: aus"));

    // The broker connection in words (its last error while it fails) and the outboxes'
    // figures; the station and the tick keep them current.
    lineGroup(QStringLiteral("NETZWERK"), QRect(8, 282, 497, 102), this, l_network,
              QStringLiteral("Netzwerk: aus"), l_outbox,
              QStringLiteral("Outbox: 0 wartend, 0 verworfen"));
    l_network->setWordWrap(true);
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
