#include "platform/error_report.h"

#include "platform/app_error.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QTimer>

#include <exception>

namespace {

struct State {
    bool boxOpen = false;
    QString lastShown; // the error last shown, while it keeps recurring
    int suppressed = 0;
};

State& state() {
    static State s;
    return s;
}

bool run(const std::function<void()>& fn) {
    // The text is taken in the handler and shown after it: the box runs a message loop of
    // its own, with further ticks, which is better not done while an exception is handled.
    QString text;
    try {
        fn();
        return true;
    } catch (const AppError& error) {
        text = error.text();
    } catch (const std::exception& error) {
        text = QString::fromLocal8Bit(error.what());
    } catch (...) {
        text = QStringLiteral("Unbekannter Fehler");
    }
    ErrorReport::Report(text);
    return false;
}

} // namespace

namespace ErrorReport {

bool RunTick(const std::function<void()>& tick) {
    const bool ok = run(tick);
    if (ok && !state().boxOpen)
        state().lastShown.clear();
    return ok;
}

bool RunHandler(const std::function<void()>& handler) {
    if (!state().boxOpen)
        state().lastShown.clear();
    return run(handler);
}

void Report(const QString& text) {
    State& s = state();
    if (s.boxOpen || text == s.lastShown) {
        ++s.suppressed;
        return;
    }
    s.lastShown = text;
    s.boxOpen = true;
    // The box is modal: ticks go on inside it and may report again (counted above).
    dialogs().error(QApplication::activeWindow(), text);
    s.boxOpen = false;
}

void ReportLater(const QString& text) {
    // While another box is open the text waits for it to close rather than being counted.
    QTimer::singleShot(state().boxOpen ? 100 : 0, QCoreApplication::instance(), [text] {
        if (state().boxOpen)
            ReportLater(text);
        else
            Report(text);
    });
}

int SuppressedCount() {
    return state().suppressed;
}

void Reset() {
    state() = State{};
}

} // namespace ErrorReport
