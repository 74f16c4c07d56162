#include "chart/print_page.h"

#include "chart/qcustomplot_include.h"
#include "chart/sample_chart.h"
#include "platform/app_error.h"
#include "platform/locale_formats.h"

#include <QPrinter>

QRect ChartPrintRect(int w, int h) {
    const int left = w / 10;
    const int top = h / 3;
    const int right = w - w / 10;
    const int bottom = h - h / 10;
    return QRect(left, top, right - left, bottom - top);
}

void PrintChartPage(QPrinter* printer, SampleChart& chart, const QString& heading,
                    const QDateTime& when) {
    QCPPainter painter; // the chart draws itself onto it as vector graphics
    if (!painter.begin(printer))
        throw AppError(QStringLiteral("Der Druckauftrag konnte nicht begonnen werden"));
    try {
        const int w = printer->width();
        const int h = printer->height();
        chart.render(&painter, ChartPrintRect(w, h));
        painter.setFont(QFont(QStringLiteral("Arial"), 12, QFont::Normal, true));
        const auto text = [&](int y, const QString& line) {
            painter.drawText(QRect(100, y, std::max(1, w - 100), std::max(1, h - y)),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        };
        text(100, heading);
        text(200, QStringLiteral("Date:  ") + ShortDate(when.date()));
        text(300, QStringLiteral("Time:  ") + LongTime(when.time()));
        if (printer->printerState() == QPrinter::Error || !painter.end())
            throw AppError(QStringLiteral("Fehler beim Drucken"));
    } catch (const std::exception& error) {
        printer->abort();
        if (painter.isActive())
            painter.end();
        if (const auto* appError = dynamic_cast<const AppError*>(&error))
            throw *appError;
        throw AppError(QString::fromLocal8Bit(error.what()));
    }
}
