#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// One instrument's record store: the text lines of its recorded samples (8-bit file text,
// no line end), filled by recording or by opening a chart file and written out by saving.
// It never holds more than kCapacity lines: 100 hours at one sample a second, plus one.
class RecordStore {
public:
    static constexpr std::int32_t kCapacity = 360001;

    // The record switch: samples are taken while it is on.
    bool recording = false;

    std::int32_t count() const { return static_cast<std::int32_t>(lines_.size()); }
    bool full() const { return count() >= kCapacity; }
    const QByteArray& line(std::int32_t index) const;
    // The lines in use, oldest first.
    const std::vector<QByteArray>& lines() const { return lines_; }

    // Adds a line after the last one; false, and nothing stored, when the store is full.
    bool append(QByteArray line);
    // Keeps the lines from `first` on, moved to the front, and appends `more` after them, as
    // many as there is room for. Returns how many of `more` were taken.
    std::int32_t keepFromThenAppend(std::int32_t first, std::vector<QByteArray>&& more);
    // Starts afresh with no lines (their memory is given back).
    void clear();
    // Empty and not recording, as at start (tests).
    void reset();

private:
    std::vector<QByteArray> lines_;
};
