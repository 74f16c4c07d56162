#include "settings/setup.h"

#include "platform/window_frame.h"

TfmSetup::TfmSetup(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Setup"), 586, 552);
}
