#pragma once

#include <QWidget>

// The HeatSpan temperature window.
class TfmTermo : public QWidget {
    Q_OBJECT
public:
    explicit TfmTermo(QWidget* parent = nullptr);
};
