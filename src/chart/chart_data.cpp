#include "chart/chart_data.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

void SeriesValues::append(double value) {
    const int index = size();
    values_.push_back(value);
    const Extremes point = std::isnan(value) ? Extremes{} : Extremes{index, index};
    for (int level = 0; level < kLevels; ++level) {
        auto& blocks = levels_[static_cast<std::size_t>(level)];
        const auto block = static_cast<std::size_t>(index >> (kFanBits * (level + 1)));
        if (block == blocks.size())
            blocks.push_back(point);
        else
            merge(blocks[block], point);
    }
}

void SeriesValues::clear() {
    values_.clear();
    for (auto& blocks : levels_)
        blocks.clear();
}

void SeriesValues::merge(Extremes& into, const Extremes& part) const {
    // Parts arrive in index order, so the strict comparisons keep the leftmost extreme.
    if (part.minIndex >= 0 &&
        (into.minIndex < 0 || values_[static_cast<std::size_t>(part.minIndex)] <
                                  values_[static_cast<std::size_t>(into.minIndex)]))
        into.minIndex = part.minIndex;
    if (part.maxIndex >= 0 &&
        (into.maxIndex < 0 || values_[static_cast<std::size_t>(part.maxIndex)] >
                                  values_[static_cast<std::size_t>(into.maxIndex)]))
        into.maxIndex = part.maxIndex;
}

SeriesValues::Extremes SeriesValues::extremes(int first, int last) const {
    Extremes result;
    first = std::max(first, 0);
    last = std::min(last, size() - 1);
    int i = first;
    while (i <= last) {
        int level = kLevels - 1;
        // The largest whole block that starts at i and ends within the range.
        while (level >= 0 && ((i & (blockSize(level) - 1)) != 0 || i + blockSize(level) - 1 > last))
            --level;
        if (level < 0) {
            if (!std::isnan(values_[static_cast<std::size_t>(i)]))
                merge(result, Extremes{i, i});
            ++i;
        } else {
            const auto& blocks = levels_[static_cast<std::size_t>(level)];
            merge(result, blocks[static_cast<std::size_t>(i >> (kFanBits * (level + 1)))]);
            i += blockSize(level);
        }
    }
    return result;
}

double ColumnEdge(double lower, double upper, int columns, int column) {
    return lower + (upper - lower) * column / columns;
}

namespace {

// An index bound from a key, clamped to lo..hi before the conversion.
int clampToIndex(double key, int lo, int hi) {
    if (!(key > lo))
        return lo;
    if (key >= hi)
        return hi;
    return static_cast<int>(key);
}

void emitColumn(const SeriesValues& values, int first, int last, std::vector<int>& indices,
                std::optional<double> areaTo) {
    SeriesValues::Extremes extremes = values.extremes(first, last);
    if (areaTo) {
        // The extreme on the area's side lies inside the area, which covers it.
        if (extremes.minIndex >= 0 && values.at(extremes.minIndex) >= *areaTo)
            extremes.minIndex = -1;
        else if (extremes.maxIndex >= 0 && values.at(extremes.maxIndex) <= *areaTo)
            extremes.maxIndex = -1;
    }
    std::array<int, 4> picked{first, extremes.minIndex, extremes.maxIndex, last};
    std::sort(picked.begin(), picked.end());
    for (int index : picked) {
        if (index >= 0 && (indices.empty() || indices.back() != index))
            indices.push_back(index);
    }
}

} // namespace

void DecimateM4(const SeriesValues& values, double lower, double upper, int columns,
                std::vector<int>& indices, std::optional<double> areaTo) {
    indices.clear();
    const int count = values.size();
    if (count == 0 || columns < 1 || !(upper > lower))
        return;
    // From the point just left of the range to the point just right of it.
    const int lo = clampToIndex(std::floor(lower), 0, count - 1);
    const int hi = upper < 0 ? -1 : clampToIndex(std::ceil(upper), 0, count - 1);
    if (lo > hi)
        return;
    if (hi - lo + 1 <= 4 * columns) {
        for (int i = lo; i <= hi; ++i)
            indices.push_back(i);
        return;
    }
    int first = lo;
    for (int column = 0; column < columns && first <= hi; ++column) {
        int last = hi;
        if (column < columns - 1) {
            // i < edge  <=>  i <= ceil(edge) - 1 for whole i.
            const double edge = std::ceil(ColumnEdge(lower, upper, columns, column + 1));
            last = clampToIndex(edge, lo - 1, hi + 1) - 1;
            last = std::min(last, hi);
        }
        if (last < first)
            continue;
        emitColumn(values, first, last, indices, areaTo);
        first = last + 1;
    }
}

namespace {

// Lengths go into the label pool as 7-bit groups, low first, the top bit set while more
// follow: one byte for the usual lengths below 128.
void putLength(std::vector<char>& pool, std::size_t length) {
    while (length >= 0x80) {
        pool.push_back(static_cast<char>((length & 0x7F) | 0x80));
        length >>= 7;
    }
    pool.push_back(static_cast<char>(length));
}

std::size_t takeLength(const char*& at) {
    std::size_t length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return length;
    }
}

} // namespace

void ChartLabels::append(QStringView label) {
    appendUtf8(label.toUtf8());
}

void ChartLabels::appendUtf8(QByteArrayView label) {
    if (size_ % kRun == 0) {
        runs_.push_back(static_cast<std::uint32_t>(pool_.size()));
        last_.clear(); // a run's first label is stored whole
    }
    const auto length = static_cast<std::size_t>(label.size());
    const std::size_t common = std::min(last_.size(), length);
    std::size_t prefix = 0;
    while (prefix < common && last_[prefix] == label[static_cast<qsizetype>(prefix)])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < common - prefix &&
           last_[last_.size() - 1 - suffix] == label[static_cast<qsizetype>(length - 1 - suffix)])
        ++suffix;
    putLength(pool_, prefix);
    putLength(pool_, suffix);
    putLength(pool_, length - prefix - suffix);
    pool_.insert(pool_.end(), label.begin() + prefix, label.end() - suffix);
    last_.assign(label.begin(), label.end());
    ++size_;
}

void ChartLabels::clear() {
    std::vector<char>().swap(pool_);
    std::vector<std::uint32_t>().swap(runs_);
    last_.clear();
    size_ = 0;
}

QString ChartLabels::at(int index) const {
    if (index < 0 || index >= size_)
        throw std::out_of_range("ChartLabels::at");
    const int run = index / kRun;
    const char* at = pool_.data() + runs_[static_cast<std::size_t>(run)];
    std::string label;
    for (int i = run * kRun; i <= index; ++i) {
        const std::size_t prefix = takeLength(at);
        const std::size_t suffix = takeLength(at);
        const std::size_t middle = takeLength(at);
        label =
            label.substr(0, prefix) + std::string(at, middle) + label.substr(label.size() - suffix);
        at += middle;
    }
    return QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size()));
}

std::size_t ChartLabels::memoryUsed() const {
    return pool_.capacity() + runs_.capacity() * sizeof(std::uint32_t) + last_.capacity();
}

std::vector<int> PickLabelTicks(double lower, double upper, double pixels, int count,
                                double spacing) {
    std::vector<int> ticks;
    if (count <= 0 || !(pixels > 0) || !(upper > lower) || upper < 0 || lower > count - 1)
        return ticks;
    const double wanted = std::ceil(spacing * (upper - lower) / pixels);
    const long long step =
        wanted >= 1e9 ? 1000000000LL : std::max(1LL, static_cast<long long>(wanted));
    const long long from = lower <= 0 ? 0 : static_cast<long long>(std::ceil(lower / step)) * step;
    const long long to = std::min<long long>(count - 1, static_cast<long long>(std::floor(upper)));
    for (long long tick = from; tick <= to; tick += step)
        ticks.push_back(static_cast<int>(tick));
    return ticks;
}

QString FormatAxisValue(double value, const QString& unit) {
    double rounded = std::round(value * 10.0) / 10.0;
    if (rounded == 0.0)
        rounded = 0.0; // no "-0"
    QString digits = QString::number(std::abs(rounded), 'f', 1);
    if (digits.endsWith(QLatin1String(".0")))
        digits.chop(2);
    qsizetype point = digits.indexOf(u'.');
    if (point < 0)
        point = digits.size();
    for (qsizetype at = point - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return (rounded < 0 ? QStringLiteral("-") : QString()) + digits + unit;
}
