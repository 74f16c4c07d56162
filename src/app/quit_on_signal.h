#pragma once

#include <functional>

// Calls `onSignal` from the event loop when SIGINT or SIGTERM arrives (a desktop logout,
// Ctrl+C), so the program closes as if its main window were closed.
void CloseOnTerminationSignals(std::function<void()> onSignal);
