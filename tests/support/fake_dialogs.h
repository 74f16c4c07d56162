#pragma once

#include "platform/dialogs.h"

#include <QStringList>

#include <functional>

#include <deque>

// Answers dialogs without a modal loop and records what was shown. Installs itself for
// its lifetime; a nested one puts the outer one back when it goes.
class FakeDialogs : public Dialogs {
public:
    FakeDialogs() = default;
    FakeDialogs(const FakeDialogs&) = delete;
    FakeDialogs& operator=(const FakeDialogs&) = delete;

    QStringList messages;            // message() texts, in order
    QStringList errors;              // error() texts, in order
    std::deque<QString> openAnswers; // next openFileName() results ("" = cancel)
    std::deque<QString> saveAnswers; // next saveFileName() results ("" = cancel)
    bool printAnswer = false;
    int printDialogs = 0;
    // Called inside error() and message(), as a real modal box would let ticks run meanwhile.
    std::function<void()> whileErrorShown;
    std::function<void()> whileMessageShown;

    void message(QWidget*, const QString& text) override {
        messages << text;
        if (whileMessageShown)
            whileMessageShown();
    }
    void error(QWidget*, const QString& text) override {
        errors << text;
        if (whileErrorShown)
            whileErrorShown();
    }
    // Called inside the file dialogs, as ticks (and recording) go on while one is open.
    std::function<void()> whileFileDialogShown;

    QString openFileName(QWidget*) override {
        if (whileFileDialogShown)
            whileFileDialogShown();
        return next(openAnswers);
    }
    QString saveFileName(QWidget*) override {
        if (whileFileDialogShown)
            whileFileDialogShown();
        return next(saveAnswers);
    }
    // The log file dialog answers from openAnswers too; it counts its own calls.
    int logFileDialogs = 0;
    QString logFileName(QWidget*) override {
        ++logFileDialogs;
        if (whileFileDialogShown)
            whileFileDialogShown();
        return next(openAnswers);
    }
    bool print(QWidget*, QPrinter*) override {
        ++printDialogs;
        return printAnswer;
    }

private:
    const ScopedInstall<Dialogs> installed_{dialogsSeam, *this};

    static QString next(std::deque<QString>& answers) {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
