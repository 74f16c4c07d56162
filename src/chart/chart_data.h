#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
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
void DecimateM4(const SeriesValues& values, double lower, double upper, int columns,
                std::vector<int>& indices);

// The point labels, stored compactly: UTF-8 bytes in one pool with the leading spaces
// counted instead of stored (the labels start with a run of spaces).
class ChartLabels {
public:
    void append(QStringView label);
    void appendUtf8(QByteArrayView label);
    void clear();
    int size() const { return static_cast<int>(spaces_.size()); }
    QString at(int index) const;
    std::size_t memoryUsed() const;

private:
    std::vector<char> pool_;
    std::vector<std::uint32_t> ends_;
    std::vector<std::uint8_t> spaces_;
};

// The indices at which the bottom axis shows labels for the key range [lower, upper] drawn
// over `pixels` pixels: whole multiples of one step chosen so that neighbours are at least
// `spacing` pixels apart, limited to existing points 0..count-1.
std::vector<int> PickLabelTicks(double lower, double upper, double pixels, int count,
                                double spacing = 100);

// The value axis text "#,##0.#" and a unit: thousands separated by ",", up to one decimal,
// the unit appended ("1,000 °C", "-55 °C", "12.5 %", "300 cm" for units " °C", " %", " cm").
QString FormatAxisValue(double value, const QString& unit);
