#include "widgets/segment_display.h"

namespace {
constexpr int kDigits = 2;
}

SegmentDisplay::SegmentDisplay(QWidget* parent) : QLCDNumber(kDigits, parent) {
    setSegmentStyle(QLCDNumber::Filled);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette colours = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Window, Qt::white);
        colours.setColor(group, QPalette::WindowText, Qt::red);
    }
    setPalette(colours);
    showNumber(0);
}

void SegmentDisplay::showNumber(int number) {
    const bool fits = number >= 0 && number < 100;
    shown_ = fits ? QStringLiteral("%1").arg(number, kDigits) : QStringLiteral("--");
    display(shown_);
}
