#include "link/serial_com.h"

#include "link/link_indicators.h"

TfmSerial::TfmSerial(QWidget* parent) : QWidget(parent) {}
TfmSerial::~TfmSerial() = default;

void PollSerialReceiver(TfmSerial*) {
    if (linkIndicators)
        linkIndicators->toggleScanCom();
}
