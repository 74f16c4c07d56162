#include "widgets/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    columns = std::max(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        layout->addWidget(button, i / columns, i % columns);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
        Q_EMIT itemIndexChanged(id);
        Q_EMIT clicked(id);
    });
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

int RadioGroup::count() const {
    return static_cast<int>(group_->buttons().size());
}

QRadioButton* RadioGroup::button(int index) const {
    return qobject_cast<QRadioButton*>(group_->button(index));
}

void RadioGroup::setItemIndex(int index) {
    if (index == itemIndex())
        return;
    if (QAbstractButton* target = group_->button(index)) {
        target->setChecked(true);
    } else {
        // No item stands for this value: clear the choice without touching the setting.
        group_->setExclusive(false);
        if (QAbstractButton* checked = group_->checkedButton())
            checked->setChecked(false);
        group_->setExclusive(true);
    }
    Q_EMIT itemIndexChanged(itemIndex());
}
