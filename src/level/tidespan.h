#pragma once

#include <QWidget>

// The TideSpan level window.
class TfmLevel : public QWidget {
    Q_OBJECT
public:
    explicit TfmLevel(QWidget* parent = nullptr);
};
