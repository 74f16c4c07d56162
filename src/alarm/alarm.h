#pragma once

#include <QWidget>

// The alarm window: five alarm options per transmitter.
class TfmAlarm : public QWidget {
    Q_OBJECT
public:
    explicit TfmAlarm(QWidget* parent = nullptr);
};
