#include "app/filelog.h"

TfmFilelog::TfmFilelog(QObject* parent) : QObject(parent) {}

// The loggers write nothing yet; they take their turn in every tick while switched on.
void TfmFilelog::WriteTermoLog() {}
void TfmFilelog::WriteLevelLog() {}
