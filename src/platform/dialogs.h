#pragma once

#include "platform/seam.h"

#include <QString>

class QPrinter;
class QWidget;

// Every message box, file dialog and print dialog goes through this seam, so tests
// answer them without a modal loop. The real one is modal: ticks go on while it is open.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // An expected failure or notice ("Keine Daten vorhanden").
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The general error report's box for an unexpected error.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // The chosen file's full path, or an empty string when cancelled.
    virtual QString openFileName(QWidget* parent) = 0;
    virtual QString saveFileName(QWidget* parent) = 0;
    // A log file to write to: an existing file or a new name in an existing folder (the
    // logger creates the file). Doubles that do not tell the two apart answer it as an open.
    virtual QString logFileName(QWidget* parent) { return openFileName(parent); }
    // Runs the print dialog on `printer`; true when confirmed.
    virtual bool print(QWidget* parent, QPrinter* printer) = 0;
};

// The dialogs in force: the real ones unless a test installed its own.
extern Seam<Dialogs> dialogsSeam;

inline Dialogs& dialogs() {
    return dialogsSeam.get();
}
