#pragma once

#include <QPushButton>

// A large push button with its picture above the caption, both centred, for the
// button columns of the instrument windows.
class TallButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)

public:
    explicit TallButton(const QString& text, QWidget* parent = nullptr);

    int spacing() const { return spacing_; }
    void setSpacing(int spacing);

    // Where the picture and the caption go for the current size.
    QRect iconRect() const;
    QRect textRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int spacing_ = 4;
};
