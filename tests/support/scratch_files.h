#pragma once

// A scratch folder for a test's files, read and written whole, and an instrument window's
// "Öffnen" and "Speichern" answered with one of them.
#include "platform/error_report.h"
#include "support/fake_dialogs.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class ScratchFiles {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static void write(const QString& file, const QByteArray& bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    // The whole file; nothing when it cannot be read.
    static QByteArray read(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// The file dialog answers `file`, then the window's button is clicked as the user clicks it
// (an error is shown, not thrown).
template <typename Window>
void OpenChartFile(FakeDialogs& dialogs, Window& window, const QString& file) {
    dialogs.openAnswers.push_back(file);
    ErrorReport::RunHandler([&] { window.bt_oeffnenClick(); });
}

template <typename Window>
void SaveChartFile(FakeDialogs& dialogs, Window& window, const QString& file) {
    dialogs.saveAnswers.push_back(file);
    ErrorReport::RunHandler([&] { window.bt_speichernClick(); });
}
