#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The values of one chart series with a min/max summary over blocks of 16, 256, 4096, ...
// points, so that the extremes of any index range come out in a few dozen steps however
// long it is. Appending touches one block per level: constant work per sample.
class SeriesValues {
public:
    struct Extremes {
        int minIndex = -1; // -1 when the range holds only NaN
        int maxIndex = -1;
    };

    void append(double value);
    void clear();
    int size() const { return static_cast<int>(values_.size()); }
    double at(int index) const { return values_.at(static_cast<std::size_t>(index)); }
    // Leftmost smallest and leftmost largest value of indices first..last; NaN is skipped.
    Extremes extremes(int first, int last) const;

private:
    static constexpr int kLevels = 5;
    static constexpr int kFanBits = 4; // 16 entries per block
    static constexpr int blockSize(int level) { return 1 << (kFanBits * (level + 1)); }
    void merge(Extremes& into, const Extremes& part) const;

    std::vector<double> values_;
    std::array<std::vector<Extremes>, kLevels> levels_;
};

// The visible key range [lower, upper] split into `columns` equal pixel columns: the left
// edge of column c. Index i falls into the column c with edge(c) <= i < edge(c + 1); points
// left of the range go into the first column, right of it into the last.
double ColumnEdge(double lower, double upper, int columns, int column);

// M4 decimation: for each pixel column the first, smallest, largest and last point of the
// indices in it (ascending, no index twice), over the points from just left of `lower` to
// just right of `upper`, so that lines run to the edges. With few points all are kept.
//
// With `areaTo`, the series is a filled area down to (or up to) that value under an outline
// of its own colour at least two pixels wide: a column's extreme on the area's side, unless
// it is the column's first or last point, lies inside the area and is left out.
void DecimateM4(const SeriesValues& values, double lower, double upper, int columns,
                std::vector<int>& indices, std::optional<double> areaTo = std::nullopt);

// The point labels, stored compactly. Neighbouring labels differ in a few characters (the
// seconds of "            14:00:01 / 07.12.2026"), so each label is kept as what differs
// from the one before: the length of the prefix and suffix they share and the UTF-8 bytes
// between. Every kRun-th label starts afresh, so that reading one decodes at most kRun.
class ChartLabels {
public:
    void append(QStringView label);
    void appendUtf8(QByteArrayView label);
    void clear();
    int size() const { return size_; }
    QString at(int index) const;
    std::size_t memoryUsed() const;

private:
    static constexpr int kRun = 32;

    std::vector<char> pool_;          // per label: prefix, suffix, middle length, middle
    std::vector<std::uint32_t> runs_; // where in the pool each run of kRun labels starts
    std::vector<char> last_;          // the label appended last, UTF-8
    int size_ = 0;
};

// The indices at which the bottom axis shows labels for the key range [lower, upper] drawn
// over `pixels` pixels: whole multiples of one step chosen so that neighbours are at least
// `spacing` pixels apart, limited to existing points 0..count-1.
std::vector<int> PickLabelTicks(double lower, double upper, double pixels, int count,
                                double spacing = 100);

// The value axis text "#,##0.#" and a unit: thousands separated by ",", up to one decimal,
// the unit appended ("1,000 °C", "-55 °C", "12.5 %", "300 cm" for units " °C", " %", " cm").
QString FormatAxisValue(double value, const QString& unit);
