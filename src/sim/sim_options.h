#pragma once

#include "link/sim_stream.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the transmitter simulator was asked to do.
struct SimConfig {
    StreamOptions stream;
    QString device;      // a serial device to write to; empty: create a pseudo-terminal
    int linkCom = 0;     // 1..: make the program's "COM n" read the pseudo-terminal
    double rate = 4.0;   // transmissions per second
    long long count = 0; // stop after this many transmissions (0: run until stopped)
    bool quiet = false;

    int baud() const { return stream.legacy ? 4800 : 19200; }
};

// Parses the command line (argv[0] first). Prints --help / --version and exits as
// usual; returns nothing with `error` set when an option is wrong.
std::optional<SimConfig> ParseSimArguments(const QStringList& arguments, QString* error);
