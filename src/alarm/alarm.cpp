#include "alarm/alarm.h"

#include "platform/window_frame.h"

TfmAlarm::TfmAlarm(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Alarm"), 317, 197);
}
