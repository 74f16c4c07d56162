// Saving, opening and printing the recorded temperatures.
#include "temperature/heatspan.h"

#include "temperature/qcustomplot_include.h"

#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_text.h"
#include "platform/locale_formats.h"
#include "settings/settings.h"
#include "temperature/temperature_chart.h"
#include "temperature/temperature_records.h"
#include "temperature/termolog_file.h"

#include <QPainter>
#include <QPrinter>

void TfmTermo::takeChartPath(const QString& path) {
    settings.TCHART_PATH = ToFileText(path).toStdString(); // 8-bit, as all settings texts
    setStatusPanel(1, QStringLiteral("Datei: ") + path);
}

void TfmTermo::bt_speichernClick() {
    if (tempRecordCount <= 0) {
        dialogs().message(this, QStringLiteral("Keine Daten vorhanden"));
        return;
    }
    const QString path = dialogs().saveFileName(this);
    if (path.isEmpty())
        return;
    takeChartPath(path);
    // The count is taken now: samples recorded while the dialog was open are saved too.
    const ChartFileWrite result = WriteChartFile(path, tempRecords, tempRecordCount);
    switch (result.status) {
    case ChartFileWrite::Status::Ok:
        break;
    case ChartFileWrite::Status::CreateFailed:
        dialogs().message(this, QStringLiteral("Fehler bei der Dateierstellung"));
        break;
    case ChartFileWrite::Status::WriteFailed:
        // The file as it was before is kept; the recording is untouched.
        throw AppError(
            QStringLiteral("Fehler beim Schreiben der Datei %1: %2").arg(path, result.error));
    }
}

void TfmTermo::bt_oeffnenClick() {
    // The recording is given up only for a file that was chosen and read.
    const QString path = dialogs().openFileName(this);
    if (path.isEmpty())
        return;
    takeChartPath(path);
    ChartFileRead read = ReadChartFile(path, kTempRecordCapacity);
    if (!read.ok) {
        showRecordCount();
        dialogs().message(this, read.longLine == 0
                                    ? QStringLiteral("Lesefehler")
                                    : QStringLiteral("Lesefehler: Zeile %1 ist länger als %2 "
                                                     "Zeichen")
                                          .arg(read.longLine)
                                          .arg(kMaxChartLineBytes));
        return;
    }
    const int loaded = static_cast<int>(read.lines.size());
    for (int i = 0; i < loaded; ++i)
        tempRecords[static_cast<std::size_t>(i)] =
            std::move(read.lines[static_cast<std::size_t>(i)]);
    for (int i = loaded; i < tempRecordCount; ++i)
        tempRecords[static_cast<std::size_t>(i)].clear(); // stale lines need no memory
    tempRecordCount = loaded;
    read.lines = {};
    if (read.truncated) {
        dialogs().message(this,
                          QStringLiteral("Datei zu groß: nur die ersten %1 Zeilen wurden geladen")
                              .arg(kTempRecordCapacity));
    }
    RebuildChart();
    showRecordCount();
}

void TfmTermo::RebuildChart() {
    Chart1->clear();
    const RebuildOutcome outcome =
        RebuildTemperaturePoints(tempRecords, tempRecordCount,
                                 [this](QByteArrayView label, const std::array<double, 8>& values) {
                                     Chart1->addSampleUtf8(label, values);
                                 });
    if (outcome.notTermoLog)
        dialogs().message(this, QStringLiteral("Kein TermoLog File"));
    setStatusPanel(2, QString::number(outcome.lastField));
}

void TfmTermo::AdvToolButton2Click() {
    // 300 dpi: the heading lines, 100 pixels apart, then keep clear of each other.
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(300);
    if (dialogs().print(this, &printer))
        PrintChart(&printer);
}

void TfmTermo::PrintChart(QPrinter* printer) {
    QCPPainter painter; // the chart draws itself onto it as vector graphics
    if (!painter.begin(printer))
        throw AppError(QStringLiteral("Der Druckauftrag konnte nicht begonnen werden"));
    try {
        const int w = printer->width();
        const int h = printer->height();
        Chart1->render(&painter, QRect(w / 10, h / 3, (w - w / 10) - w / 10, (h - h / 10) - h / 3));
        painter.setFont(QFont(QStringLiteral("Arial"), 12, QFont::Normal, true));
        const QDateTime now = Now();
        const auto text = [&](int y, const QString& line) {
            painter.drawText(QRect(100, y, std::max(1, w - 100), std::max(1, h - y)),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
        };
        text(100, QStringLiteral("HeatSpan Diagramm"));
        text(200, QStringLiteral("Date:  ") + ShortDate(now.date()));
        text(300, QStringLiteral("Time:  ") + LongTime(now.time()));
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
