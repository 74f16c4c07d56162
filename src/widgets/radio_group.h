#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A captioned group of radio buttons chosen by index, laid out in columns. An index
// outside the items (a stored value no item stands for) checks none.
class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex NOTIFY itemIndexChanged)

public:
    RadioGroup(const QString& caption, const QStringList& items, int columns,
               QWidget* parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const;
    QRadioButton* button(int index) const;

Q_SIGNALS:
    // The user picked an item.
    void clicked(int index);
    void itemIndexChanged(int index);

private:
    QButtonGroup* group_ = nullptr;
};
