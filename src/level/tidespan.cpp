#include "level/tidespan.h"

#include "platform/window_frame.h"

TfmLevel::TfmLevel(QWidget* parent) : QWidget(parent) {
    MakeFixedWindow(this, QStringLiteral("Tidespan"), 968, 474);
}
