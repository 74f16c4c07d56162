#pragma once

#include <QWidget>

// The setup window: data port, addresses, firmware options, channel names, loggers.
class TfmSetup : public QWidget {
    Q_OBJECT
public:
    explicit TfmSetup(QWidget* parent = nullptr);
};
