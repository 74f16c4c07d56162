#include "settings/setup.h"

#include "app/start_unit.h"
#include "app/windows.h"
#include "platform/file_text.h"
#include "platform/window_frame.h"
#include "settings/settings.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kNameLength = 8;
}

TfmSetup::TfmSetup(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Setup"), 586, 552);

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
}

void TfmSetup::FormShow() {
    for (int n = 1; n <= 8; ++n)
        Edit[n - 1]->setText(FromFileText(QByteArray::fromStdString(settings.channelName(n))));
}

void TfmSetup::showEvent(QShowEvent* event) {
    FormShow();
    QWidget::showEvent(event);
}

void TfmSetup::closeEvent(QCloseEvent* event) {
    if (fmStart)
        fmStart->ApplyChannelNames();
    QWidget::closeEvent(event);
}
