#pragma once

#include <QDateTime>
#include <QRect>
#include <QString>

class QPrinter;
class SampleChart;

// Where the chart goes on a printed page of printable size w × h (printer pixels): left w/10,
// top h/3, right w − w/10, bottom h − h/10, integer divisions.
QRect ChartPrintRect(int w, int h);

// Prints `chart` as it looks now (zoom, axis limits, hidden series) on one page, with the
// heading, "Date:  " and "Time:  " of `when` in Arial 12 pt italic at x = 100 and
// y = 100, 200, 300. A failure aborts the job and raises AppError with the reason.
void PrintChartPage(QPrinter* printer, SampleChart& chart, const QString& heading,
                    const QDateTime& when);
