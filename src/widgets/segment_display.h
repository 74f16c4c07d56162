#pragma once

#include <QLCDNumber>

// A two-digit seven-segment display of a whole number: red segments on white, unlit segments
// not drawn, no sign and no leading zero. A number it cannot show that way (negative, or of
// more than two digits) shows "--".
class SegmentDisplay : public QLCDNumber {
    Q_OBJECT

public:
    explicit SegmentDisplay(QWidget* parent = nullptr);

    void showNumber(int number);
    // What the digits read, blanks included (" 7", "17", "--").
    QString shownText() const { return shown_; }

private:
    QString shown_;
};
