#pragma once

#include <QWidget>

// A text on a raised panel: light bevel top and left, dark bevel bottom and right, the
// text centred (or as aligned) inside. Colours come from the palette (Window, Light,
// Dark, WindowText), so the label follows the desktop's style.
class RaisedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int bevelWidth READ bevelWidth WRITE setBevelWidth)

public:
    explicit RaisedLabel(QWidget* parent = nullptr);
    explicit RaisedLabel(const QString& text, QWidget* parent = nullptr);

    QString text() const { return text_; }
    Qt::Alignment alignment() const { return alignment_; }
    int bevelWidth() const { return bevelWidth_; }

    void setAlignment(Qt::Alignment alignment);
    void setBevelWidth(int width);

    // The area inside the bevel where the text goes.
    QRect contentsRectInsideBevel() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void setText(const QString& text);

Q_SIGNALS:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    Qt::Alignment alignment_ = Qt::AlignCenter;
    int bevelWidth_ = 1;
};
