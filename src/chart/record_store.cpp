#include "chart/record_store.h"

#include <algorithm>

const QByteArray& RecordStore::line(std::int32_t index) const {
    return lines_.at(static_cast<std::size_t>(index));
}

bool RecordStore::append(QByteArray line) {
    if (full())
        return false;
    if (lines_.capacity() == 0)
        lines_.reserve(kCapacity); // one allocation, instead of doubling copies of a long run
    lines_.push_back(std::move(line));
    return true;
}

std::int32_t RecordStore::keepFromThenAppend(std::int32_t first, std::vector<QByteArray>&& more) {
    const auto kept = static_cast<std::size_t>(std::clamp(first, 0, count()));
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(kept));
    const std::size_t room = static_cast<std::size_t>(kCapacity) - lines_.size();
    const std::size_t taken = std::min(room, more.size());
    if (lines_.empty() && taken == more.size()) {
        lines_ = std::move(more);
    } else {
        lines_.insert(lines_.end(), std::make_move_iterator(more.begin()),
                      std::make_move_iterator(more.begin() + static_cast<std::ptrdiff_t>(taken)));
    }
    more.clear();
    return static_cast<std::int32_t>(taken);
}

void RecordStore::clear() {
    std::vector<QByteArray>().swap(lines_);
}

void RecordStore::reset() {
    clear();
    recording = false;
}
