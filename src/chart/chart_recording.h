#pragma once

#include "chart/chart_file.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QPrinter;
class QWidget;
class RecordStatusBar;
class RecordStore;
class SampleChart;

// What an instrument window does with its recorded samples, the same for both: it stores
// the record lines and shows their count, ends a recording when the store is full, and
// saves, opens, redraws and prints the chart (the buttons SPEICHERN, ÖFFNEN, DRUCKEN and
// the store's half of LÖSCHEN).
class ChartRecording {
public:
    struct Setup {
        QWidget* window = nullptr; // parent of the dialogs and messages
        RecordStore* store = nullptr;
        SampleChart* chart = nullptr; // the chart a file is drawn into and printed from
        RecordStatusBar* statusBar = nullptr;
        std::string* chartPath = nullptr; // the setting that keeps the chart file last chosen
        ChartFileFormat format;           // "TermoLog" lines, "LevelLog" lines
        QString printHeading;             // "HeatSpan Diagramm"
    };

    explicit ChartRecording(const Setup& setup);

    // Called when a full store has ended the recording, before the message: a window whose
    // record switch latches puts it off.
    void setRecordingStopped(std::function<void()> stopped) {
        recordingStopped_ = std::move(stopped);
    }

    // Whether a sample may be taken now; a full store ends the recording with a message.
    bool roomForSample();
    // Stores one record line and shows the new count; when that fills the store, the
    // recording ends with a message.
    void appendRecord(const QString& line);
    // No records any more, "Datensätze: 0" (the window empties its charts).
    void clearRecords();
    // Panel 0: "Datensätze: " and the count.
    void showRecordCount();

    // SPEICHERN: the store into a file chosen in the save dialog, replacing it whole.
    void save();
    // ÖFFNEN: a chart or logger file into the store and the chart. Samples recorded while
    // the dialog was open stay, ahead of the file's lines; a cancelled dialog, a file that
    // cannot be read and a file that cannot be drawn whole (a line without the marker, a
    // value that is no number) change nothing.
    void open();
    // The chart drawn anew from the store's lines.
    void rebuildChart();
    // DRUCKEN: the print dialog, then printChart.
    void print();
    void printChart(QPrinter* printer);

private:
    void stopRecordingStoreFull();
    void takeChartPath(const QString& path);
    void showChartPath();
    void showNotMarked(); // "Kein TermoLog File"

    Setup setup_;
    std::function<void()> recordingStopped_;
};
