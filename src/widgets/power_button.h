#pragma once

#include <QColor>
#include <QPushButton>

// A latching switch with a round power symbol above its caption: off shows the symbol
// dark in offColor on a raised button, on shows it lit in onColor on a pressed-in
// button. It is a checkable push button: isChecked() is the switch state, a click
// toggles it and toggled(bool) reports the change.
class PowerButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor offColor READ offColor WRITE setOffColor)
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)
    Q_PROPERTY(int symbolSize READ symbolSize WRITE setSymbolSize)

public:
    explicit PowerButton(QWidget* parent = nullptr);
    explicit PowerButton(const QString& text, QWidget* parent = nullptr);

    QColor offColor() const { return offColor_; }
    QColor onColor() const { return onColor_; }
    int symbolSize() const { return symbolSize_; }
    // The colour the symbol shows now.
    QColor symbolColor() const { return isChecked() ? onColor_ : offColor_; }

    void setOffColor(const QColor& color);
    void setOnColor(const QColor& color);
    void setSymbolSize(int pixels);

    // Where the symbol and the caption go for the current size (not shifted when pressed).
    QRect symbolRect() const;
    QRect textRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawSymbol(QPainter& painter, const QRectF& box) const;

    QColor offColor_{128, 0, 0}; // maroon
    QColor onColor_{Qt::red};
    int symbolSize_ = 34;
    int spacing_ = 6;
};
