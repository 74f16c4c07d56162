#pragma once

#include <QObject>

// Hidden holder of the two data loggers; the poll tick calls them while switched on.
class TfmFilelog : public QObject {
    Q_OBJECT
public:
    explicit TfmFilelog(QObject* parent = nullptr);

    void WriteTermoLog();
    void WriteLevelLog();
};
