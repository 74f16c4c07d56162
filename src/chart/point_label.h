#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// The label of a chart point: twelve blanks, the time, " / ", the date. Recording stamps it
// from the clock in the locale's long time and short date; reopening a file builds it from
// the file's time and date fields.
QString PointLabel(const QDateTime& when);
// The same from a file's fields (8-bit file text), into `label`.
void PointLabelFromFields(QByteArrayView time, QByteArrayView date, QByteArray& label);
