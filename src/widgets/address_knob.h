#pragma once

#include <QDial>

// A rotary knob for a transmitter address: positions 0.0 to 32.0, held in tenths. The arrow
// keys step 0.1, the page keys and each notch of the mouse wheel 1.0, dragging moves freely.
// The dial's own style draws the silver face; a red indicator is drawn over its handle.
class AddressKnob : public QDial {
    Q_OBJECT

public:
    static constexpr int kTenths = 10; // positions per whole number
    static constexpr int kMaxAddress = 32;

    explicit AddressKnob(QWidget* parent = nullptr);

    // The whole number the knob points at: its position truncated (17.9 gives 17).
    int address() const { return value() / kTenths; }
    // Whether the knob has a position for `address` (0 to 32).
    static bool canShow(int address) { return address >= 0 && address <= kMaxAddress; }
    // Puts the knob on `address` without a change signal; an address it cannot show leaves
    // it at the nearer end.
    void restOn(int address);

    // Where the indicator sits for the current position (what the style's handle uses).
    QPointF indicatorCentre() const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int wheelRemainder_ = 0; // part of a notch not yet turned (high-resolution wheels)
};
