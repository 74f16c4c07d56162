#include "settings/setup.h"

#include "platform/file_text.h"
#include "platform/window_frame.h"
#include "settings/settings.h"
#include "widgets/radio_group.h"

#include <QCheckBox>

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kNameLength = 8;
}

TfmSetup::TfmSetup(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Setup"), 586, 552);

    GroupBox4 = new QGroupBox(QStringLiteral("TideSpan SETUP"), this);
    GroupBox4->setGeometry(8, 8, 189, 481);
    chk_v264 = new QCheckBox(QStringLiteral("Firmware < V2.64"), GroupBox4);
    chk_v264->setGeometry(12, 420, 165, 20);
    chk_v300 = new QCheckBox(QStringLiteral("Firmware V3"), GroupBox4);
    chk_v300->setGeometry(12, 448, 165, 20);
    connect(chk_v264, &QCheckBox::clicked, this, &TfmSetup::chk_v264Click);
    connect(chk_v300, &QCheckBox::clicked, this, &TfmSetup::chk_v300Click);

    GroupBox1 = new QGroupBox(QStringLiteral("HeatSpan SETUP"), this);
    GroupBox1->setGeometry(209, 8, 369, 481);
    GroupBox2 = new QGroupBox(QStringLiteral("Kanalbezeichnung"), GroupBox1);
    GroupBox2->setGeometry(184, 20, 177, 236);
    for (int i = 0; i < 8; ++i) {
        const int y = 26 + 26 * i;
        Label[i] = new QLabel(QStringLiteral("Temperatur %1").arg(i + 1), GroupBox2);
        Label[i]->setGeometry(10, y, 80, 21);
        Edit[i] = new QLineEdit(GroupBox2);
        Edit[i]->setGeometry(92, y, 75, 21);
        Edit[i]->setMaxLength(kNameLength);
    }

    rg_port =
        new RadioGroup(QStringLiteral("Daten Port"),
                       {QStringLiteral("USB"), QStringLiteral("COM 1"), QStringLiteral("COM 2"),
                        QStringLiteral("COM 3"), QStringLiteral("COM 4")},
                       5, this);
    rg_port->setGeometry(8, 495, 570, 49);
    connect(rg_port, &RadioGroup::clicked, this, &TfmSetup::rg_portClick);
}

void TfmSetup::FormShow() {
    for (int n = 1; n <= 8; ++n)
        Edit[n - 1]->setText(FromFileText(QByteArray::fromStdString(settings.channelName(n))));
    chk_v264->setChecked(settings.CHK_V264);
    chk_v300->setChecked(settings.CHK_V300);
    rg_port->setItemIndex(settings.GL_COM);
}

void TfmSetup::chk_v264Click() {
    settings.CHK_V264 = chk_v264->isChecked();
    // The two firmware options exclude each other.
    chk_v300->setChecked(false);
    settings.CHK_V300 = false;
}

void TfmSetup::chk_v300Click() {
    settings.CHK_V300 = chk_v300->isChecked();
    chk_v264->setChecked(false);
    settings.CHK_V264 = false;
}

void TfmSetup::rg_portClick() {
    settings.GL_COM = rg_port->itemIndex();
}

void TfmSetup::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfmSetup::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT closed();
}
