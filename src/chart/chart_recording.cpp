#include "chart/chart_recording.h"

#include "chart/print_page.h"
#include "chart/record_status_bar.h"
#include "chart/record_store.h"
#include "chart/sample_chart.h"
#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/file_text.h"

#include <QPrinter>

ChartRecording::ChartRecording(const Setup& setup) : setup_(setup) {}

bool ChartRecording::roomForSample() {
    if (!setup_.store->full())
        return true;
    stopRecordingStoreFull();
    return false;
}

void ChartRecording::appendRecord(const QString& line) {
    if (!setup_.store->append(ToFileText(line)))
        return;
    showRecordCount();
    if (setup_.store->full())
        stopRecordingStoreFull();
}

void ChartRecording::stopRecordingStoreFull() {
    if (!setup_.store->recording)
        return;
    setup_.store->recording = false;
    if (recordingStopped_)
        recordingStopped_();
    dialogs().message(setup_.window,
                      QStringLiteral("Datenspeicher voll: Aufnahme beendet (%1 Datensätze)")
                          .arg(RecordStore::kCapacity));
}

void ChartRecording::clearRecords() {
    setup_.store->clear();
    showRecordCount();
}

void ChartRecording::showRecordCount() {
    setup_.statusBar->setPanel(0, QStringLiteral("Datensätze: %1").arg(setup_.store->count()));
}

void ChartRecording::takeChartPath(const QString& path) {
    *setup_.chartPath = ToStoredText(path);
}

void ChartRecording::showChartPath() {
    setup_.statusBar->setPanel(1, QStringLiteral("Datei: ") + FromStoredText(*setup_.chartPath));
}

void ChartRecording::save() {
    if (setup_.store->count() <= 0) {
        dialogs().message(setup_.window, QStringLiteral("Keine Daten vorhanden"));
        return;
    }
    const QString path = dialogs().saveFileName(setup_.window);
    if (path.isEmpty())
        return;
    takeChartPath(path);
    showChartPath();
    // The lines are taken now: samples recorded while the dialog was open are saved too.
    const AtomicWriteResult result = WriteChartFile(path, setup_.store->lines());
    switch (result.status) {
    case AtomicWriteResult::Status::Ok:
        break;
    case AtomicWriteResult::Status::CreateFailed:
        dialogs().message(setup_.window, QStringLiteral("Fehler bei der Dateierstellung"));
        break;
    case AtomicWriteResult::Status::WriteFailed:
        // The file as it was before is kept; the recording is untouched.
        throw AppError(
            QStringLiteral("Fehler beim Schreiben der Datei %1: %2").arg(path, result.error));
    }
}

void ChartRecording::open() {
    RecordStore& store = *setup_.store;
    const std::int32_t before = store.count();
    const QString path = dialogs().openFileName(setup_.window);
    if (path.isEmpty())
        return;
    takeChartPath(path);
    // Samples recorded while the dialog was open stay; the file fills the room after them.
    const std::int32_t during = store.count() - before;
    ChartFileRead read = ReadChartFile(path, RecordStore::kCapacity - during);
    if (!read.ok) {
        showRecordCount();
        showChartPath();
        dialogs().message(setup_.window,
                          read.longLine == 0
                              ? QStringLiteral("Lesefehler")
                              : QStringLiteral("Lesefehler: Zeile %1 ist länger als %2 Zeichen")
                                    .arg(read.longLine)
                                    .arg(kMaxChartLineBytes));
        return;
    }
    // The whole file is checked before anything is replaced: a file of another instrument,
    // or a value that is no number (its error thrown from here), leaves the recording, its
    // chart and the status bar as a cancelled dialog does.
    if (CheckChartLines(read.lines, setup_.format).notMarked) {
        showNotMarked();
        return;
    }
    const std::int32_t taken = store.keepFromThenAppend(before, std::move(read.lines));
    if (read.truncated) {
        dialogs().message(
            setup_.window,
            QStringLiteral("Datei zu groß: nur die ersten %1 Zeilen wurden geladen").arg(taken));
    }
    rebuildChart();
    showRecordCount();
    showChartPath();
}

void ChartRecording::rebuildChart() {
    SampleChart& chart = *setup_.chart;
    chart.clear();
    const RebuildOutcome outcome =
        RebuildChartPoints(setup_.store->lines(), setup_.format,
                           [&chart](QByteArrayView label, std::span<const double> values) {
                               chart.addSampleUtf8(label, values);
                           });
    if (outcome.notMarked)
        showNotMarked();
    setup_.statusBar->setPanel(2, QString::number(outcome.lastField));
}

void ChartRecording::showNotMarked() {
    dialogs().message(setup_.window, QStringLiteral("Kein %1 File")
                                         .arg(QLatin1String(setup_.format.marker.data(),
                                                            setup_.format.marker.size())));
}

void ChartRecording::print() {
    // 300 dpi: the heading lines, 100 pixels apart, then keep clear of each other.
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(300);
    if (dialogs().print(setup_.window, &printer))
        printChart(&printer);
}

void ChartRecording::printChart(QPrinter* printer) {
    PrintChartPage(printer, *setup_.chart, setup_.printHeading, Now());
}
