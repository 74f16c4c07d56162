#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

// The status bar of an instrument window: panel 0 (200 pixels) "Datensätze:" and the record
// count, panel 1 (400) "Datei:" and the chart file, panel 2 (50) the last field number read.
class RecordStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit RecordStatusBar(QWidget* parent = nullptr);

    void setPanel(int panel, const QString& text);
    QString panel(int panel) const;

private:
    std::array<QLabel*, 3> panels_{};
};
