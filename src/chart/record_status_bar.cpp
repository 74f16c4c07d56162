#include "chart/record_status_bar.h"

#include <QLabel>

RecordStatusBar::RecordStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    const int widths[] = {200, 400, 50};
    const QString texts[] = {QStringLiteral("Datensätze:"), QStringLiteral("Datei:"), QString()};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(texts[i], this);
        label->setFixedWidth(widths[i]);
        addWidget(label);
        panels_[i] = label;
    }
}

void RecordStatusBar::setPanel(int panel, const QString& text) {
    panels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString RecordStatusBar::panel(int panel) const {
    return panels_.at(static_cast<std::size_t>(panel))->text();
}
