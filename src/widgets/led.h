#pragma once

#include <QColor>
#include <QWidget>

// A round LED: lit in activeColor, dark in inactiveColor. toggle() inverts the lit
// state, so an LED toggled once per event blinks while events arrive.
class Led : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QColor activeColor READ activeColor WRITE setActiveColor)
    Q_PROPERTY(QColor inactiveColor READ inactiveColor WRITE setInactiveColor)

public:
    explicit Led(QWidget* parent = nullptr);

    bool isActive() const { return active_; }
    QColor activeColor() const { return activeColor_; }
    QColor inactiveColor() const { return inactiveColor_; }
    // The colour the LED shows now.
    QColor currentColor() const { return active_ ? activeColor_ : inactiveColor_; }

    void setActiveColor(const QColor& color);
    void setInactiveColor(const QColor& color);
    // Sets both colours at once (the usual pairs: red/maroon, yellow/olive).
    void setColors(const QColor& active, const QColor& inactive);

    QSize sizeHint() const override { return {16, 16}; }
    QSize minimumSizeHint() const override { return {8, 8}; }

public Q_SLOTS:
    void setActive(bool active);
    void toggle() { setActive(!active_); }

Q_SIGNALS:
    void activeChanged(bool active);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool active_ = false;
    QColor activeColor_{Qt::green};
    QColor inactiveColor_{0, 96, 0};
};
