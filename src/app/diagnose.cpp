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
    MakeFixedWindow(this, QStringLiteral("Diagnose"), 513, 268);

    auto* scan = new QGroupBox(QStringLiteral("DATASCAN"), this);
    scan->setGeometry(8, 6, 120, 96);
    led_scanusb = makeLed(scan);
    led_scancom = makeLed(scan);
    auto* scanLayout = new QVBoxLayout(scan);
    for (auto [led, caption] : {std::pair{led_scanusb, "USB"}, std::pair{led_scancom, "COM"}}) {
        auto* row = new QHBoxLayout;
        row->addWidget(led);
        row->addWidget(new QLabel(QString::fromLatin1(caption), scan));
        row->addStretch();
        scanLayout->addLayout(row);
    }

    auto* receivers = new QGroupBox(QStringLiteral("USB-RECEIVERS"), this);
    receivers->setGeometry(136, 6, 369, 96);
    l_devcount = monoLabel(QStringLiteral("DEVICES: 0"), receivers);
    l_devname = monoLabel(QStringLiteral("NAME: NONE."), receivers);
    auto* receiverLayout = new QVBoxLayout(receivers);
    receiverLayout->addWidget(l_devcount);
    receiverLayout->addWidget(l_devname);

    auto* stream = new QGroupBox(QStringLiteral("DATA-STREAM"), this);
    stream->setGeometry(8, 108, 497, 64);
    led_datastream = makeLed(stream);
    l_incount = monoLabel(QStringLiteral("-/-"), stream);
    auto* streamLayout = new QHBoxLayout(stream);
    streamLayout->addWidget(led_datastream);
    streamLayout->addWidget(l_incount, 1);

    // Whether each data logger writes, waits for its first readings or pauses for a silent
    // transmitter; the tick keeps it current.
    auto* loggers = new QGroupBox(QStringLiteral("DATENLOGGER"), this);
    loggers->setGeometry(8, 178, 497, 82);
    l_termlog = monoLabel(QStringLiteral("TermoLog: aus"), loggers);
    l_levellog = monoLabel(QStringLiteral("LevelLog: aus"), loggers);
    auto* loggerLayout = new QVBoxLayout(loggers);
    loggerLayout->addWidget(l_termlog);
    loggerLayout->addWidget(l_levellog);
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
