#include "chart/chart_data.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>

namespace {

SeriesValues randomSeries(int count, unsigned seed, bool withGaps = false) {
    std::mt19937 random(seed);
    std::normal_distribution<double> step(0.0, 1.0);
    SeriesValues values;
    double value = 20;
    for (int i = 0; i < count; ++i) {
        value += step(random);
        const bool gap = withGaps && random() % 50 == 0;
        values.append(gap ? std::numeric_limits<double>::quiet_NaN() : value);
    }
    return values;
}

// The lowest and highest values' indices in first .. last (the first of equal ones; gaps
// skipped), by looking at each.
SeriesValues::Extremes scanExtremes(const SeriesValues& values, int first, int last) {
    SeriesValues::Extremes e;
    for (int i = first; i <= last; ++i) {
        const double v = values.at(i);
        if (std::isnan(v))
            continue;
        if (e.minIndex < 0 || v < values.at(e.minIndex))
            e.minIndex = i;
        if (e.maxIndex < 0 || v > values.at(e.maxIndex))
            e.maxIndex = i;
    }
    return e;
}

// Straight from the definition: each index into its column, then first/min/max/last, without
// the extreme that lies inside an area down to (or up to) `areaTo`.
std::vector<int> bruteForceM4(const SeriesValues& values, double lower, double upper, int columns,
                              std::optional<double> areaTo = std::nullopt) {
    const int lo = std::max(0, static_cast<int>(std::floor(lower)));
    const int hi = std::min(values.size() - 1, static_cast<int>(std::ceil(upper)));
    std::vector<std::vector<int>> members(static_cast<std::size_t>(columns));
    for (int i = lo; i <= hi; ++i) {
        int column = 0;
        while (column + 1 < columns && ColumnEdge(lower, upper, columns, column + 1) <= i)
            ++column;
        members[static_cast<std::size_t>(column)].push_back(i);
    }
    std::vector<int> result;
    for (const auto& column : members) {
        if (column.empty())
            continue;
        auto [minIndex, maxIndex] = scanExtremes(values, column.front(), column.back());
        if (areaTo && minIndex >= 0 && values.at(minIndex) >= *areaTo)
            minIndex = -1;
        else if (areaTo && maxIndex >= 0 && values.at(maxIndex) <= *areaTo)
            maxIndex = -1;
        std::vector<int> picked{column.front(), column.back()};
        if (minIndex >= 0)
            picked.push_back(minIndex);
        if (maxIndex >= 0)
            picked.push_back(maxIndex);
        std::sort(picked.begin(), picked.end());
        picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
        result.insert(result.end(), picked.begin(), picked.end());
    }
    return result;
}

struct DecimationCase {
    const char* name;
    int count;
    double lower;
    double upper;
    int columns;
    bool gaps;
    std::optional<double> areaTo = std::nullopt;
};

class DecimationTest : public testing::TestWithParam<DecimationCase> {};

TEST_P(DecimationTest, MatchesBruteForcePerColumn) {
    const DecimationCase c = GetParam();
    const SeriesValues values = randomSeries(c.count, 7u + static_cast<unsigned>(c.count), c.gaps);
    std::vector<int> indices;
    DecimateM4(values, c.lower, c.upper, c.columns, indices, c.areaTo);
    EXPECT_EQ(indices, bruteForceM4(values, c.lower, c.upper, c.columns, c.areaTo));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, DecimationTest,
    testing::Values(DecimationCase{"whole", 100000, 0, 99999, 583, false},
                    DecimationCase{"wholeWithGaps", 50000, 0, 49999, 400, true},
                    DecimationCase{"zoomedFractional", 100000, 12345.6, 40321.3, 583, false},
                    DecimationCase{"zoomedNarrowBlocksUnaligned", 70000, 4097.5, 9000.25, 97, true},
                    DecimationCase{"rangeBeyondData", 30000, -500.5, 45000, 300, false},
                    DecimationCase{"fullStore", 360001, 0, 360000, 583, false},
                    DecimationCase{"areaOnBothSides", 100000, 0, 99999, 583, true, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decimation, KeepsEveryPointWhenFewAreVisible) {
    const SeriesValues values = randomSeries(1000, 3);
    std::vector<int> indices;
    DecimateM4(values, 100.5, 120.5, 583, indices);
    std::vector<int> expected;
    for (int i = 100; i <= 121; ++i)
        expected.push_back(i);
    EXPECT_EQ(indices, expected);
}

TEST(Decimation, NothingForEmptyOrInvertedRange) {
    const SeriesValues values = randomSeries(1000, 3);
    std::vector<int> indices{1, 2};
    DecimateM4(values, 10, 10, 100, indices);
    EXPECT_TRUE(indices.empty());
    DecimateM4(SeriesValues{}, 0, 100, 100, indices);
    EXPECT_TRUE(indices.empty());
    DecimateM4(values, -50, -10, 100, indices);
    EXPECT_TRUE(indices.empty());
}

TEST(SeriesExtremes, MatchRandomRangesAfterAppending) {
    const SeriesValues values = randomSeries(70000, 11, true);
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        int a = static_cast<int>(random() % 70000);
        int b = static_cast<int>(random() % 70000);
        if (a > b)
            std::swap(a, b);
        const SeriesValues::Extremes expected = scanExtremes(values, a, b);
        const SeriesValues::Extremes e = values.extremes(a, b);
        ASSERT_EQ(e.minIndex, expected.minIndex) << a << ".." << b;
        ASSERT_EQ(e.maxIndex, expected.maxIndex) << a << ".." << b;
    }
}

TEST(LabelTicks, NeighboursAtLeastSpacingApartAndOnlyExistingPoints) {
    // 360001 points over 583 pixels: one label per 100 px at whole multiples of the step.
    const std::vector<int> ticks = PickLabelTicks(0, 360000, 583, 360001, 100);
    ASSERT_FALSE(ticks.empty());
    const double pixelsPerPoint = 583.0 / 360000;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        const double gap = (ticks[i] - ticks[i - 1]) * pixelsPerPoint;
        EXPECT_GE(gap, 100.0);
        EXPECT_LT(gap, 101.0); // not much more either
    }
    EXPECT_EQ(ticks.front(), 0);
    EXPECT_LE(ticks.back(), 360000);
    EXPECT_EQ(ticks.size(), 6u);
}

TEST(LabelTicks, ZoomedInShowsEveryPointThatFits) {
    // 3 points over 600 px: each one gets its label.
    EXPECT_EQ(PickLabelTicks(0, 2, 600, 3, 100), (std::vector<int>{0, 1, 2}));
    // The range runs past the data: no label for points that do not exist.
    EXPECT_EQ(PickLabelTicks(-0.5, 5.5, 600, 3, 100), (std::vector<int>{0, 1, 2}));
    // Zoomed into the middle: multiples of the step, inside the range.
    EXPECT_EQ(PickLabelTicks(1003.5, 1100, 500, 5000, 100),
              (std::vector<int>{1020, 1040, 1060, 1080, 1100}));
    EXPECT_TRUE(PickLabelTicks(0, 10, 600, 0, 100).empty());
}

TEST(AxisValueText, FormatsLikeTheValueAxis) {
    struct Case {
        double value;
        const char* unit;
        const char* text;
    };
    const Case cases[] = {
        {125, " °C", "125 °C"},       {-55, " °C", "-55 °C"},    {12.5, " °C", "12.5 °C"},
        {12.25, " °C", "12.3 °C"},    {1000, " °C", "1,000 °C"}, {-1234.5, " °C", "-1,234.5 °C"},
        {0, " °C", "0 °C"},           {-0.04, " °C", "0 °C"},    {999.96, " °C", "1,000 °C"},
        {125, " %", "125 %"},         {57.5, " %", "57.5 %"},    {300, " cm", "300 cm"},
        {1234.5, " cm", "1,234.5 cm"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatAxisValue(c.value, QString::fromUtf8(c.unit)), QString::fromUtf8(c.text))
            << c.value;
}

TEST(ChartLabels, GiveBackWhatWasStored) {
    ChartLabels labels;
    labels.append(u"            14:00:00 / 07.12.2026");
    labels.appendUtf8("            2:00:00 nachm. / 31.12.2026");
    labels.append(u"ohne Einzug");
    labels.append(u"            Zeit / Datum mit Umlaut ä");
    ASSERT_EQ(labels.size(), 4);
    EXPECT_EQ(labels.at(0), QStringLiteral("            14:00:00 / 07.12.2026"));
    EXPECT_EQ(labels.at(1), QStringLiteral("            2:00:00 nachm. / 31.12.2026"));
    EXPECT_EQ(labels.at(2), QStringLiteral("ohne Einzug"));
    EXPECT_EQ(labels.at(3), QStringLiteral("            Zeit / Datum mit Umlaut ä"));
    labels.clear();
    EXPECT_EQ(labels.size(), 0);
}

TEST(ChartLabels, NeighboursThatShareTheirEndsComeBackWhole) {
    // Across several runs: labels that grow, shrink, repeat, share only a prefix or a
    // suffix, differ inside a multi-byte character, or are empty or long.
    QStringList stored;
    for (int i = 0; i < 100; ++i) {
        const QString time = QStringLiteral("            14:%1:%2 / 07.12.2026")
                                 .arg(i / 60, 2, 10, QLatin1Char('0'))
                                 .arg(i % 60, 2, 10, QLatin1Char('0'));
        const QString variants[] = {time,
                                    time,
                                    time + u'a',
                                    time.left(i),
                                    QString(),
                                    QString(200, u'x') + QString::number(i),
                                    QStringLiteral("ä") + time,
                                    time + QStringLiteral("é") + QString(i % 3, u'ö')};
        stored << variants[i % 8];
    }
    ChartLabels labels;
    for (int i = 0; i < stored.size(); ++i) {
        if (i % 2)
            labels.append(stored[i]);
        else
            labels.appendUtf8(stored[i].toUtf8());
    }
    ASSERT_EQ(labels.size(), stored.size());
    for (int i = stored.size() - 1; i >= 0; --i)
        EXPECT_EQ(labels.at(i), stored[i]) << i;
    EXPECT_THROW(labels.at(100), std::out_of_range);
}

} // namespace
