#include "temperature/heatspan.h"

#include "platform/window_frame.h"

TfmTermo::TfmTermo(QWidget* parent) : QWidget(parent)
{
    MakeFixedWindow(this, QStringLiteral("HeatSpan"), 766, 583);
}
