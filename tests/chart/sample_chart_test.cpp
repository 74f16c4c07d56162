#include "chart/sample_chart.h"

#include "chart/qcustomplot_include.h"
#include "support/qt_print.h"

#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// One filled series on a fixed axis without legend, as the level window's charts.
SampleChartOptions areaOptions() {
    SampleChartOptions options;
    options.series.push_back({QStringLiteral("FÜLLHOEHE(cm)"), Qt::blue, 3, true});
    options.valueMinimum = 0;
    options.valueMaximum = 300;
    options.unit = QStringLiteral(" cm");
    options.axisTitle = QStringLiteral("FÜLLHÖHE");
    options.sizeHint = QSize(629, 169);
    return options;
}

class AreaChart : public testing::Test {
protected:
    SampleChart chart{areaOptions()};
    void SetUp() override {
        chart.resize(629, 169);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }
    void add(int count) {
        for (int i = 0; i < count; ++i) {
            const double value = 100 + 50 * std::sin(i / 30.0);
            chart.addSample(QStringLiteral("            10:%1:%2 / 2026-12-08")
                                .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(i % 60, 2, 10, QLatin1Char('0')),
                            {&value, 1});
        }
        chart.plot()->replot();
    }
};

TEST_F(AreaChart, LooksAsConfigured) {
    EXPECT_EQ(chart.seriesCount(), 1);
    EXPECT_TRUE(chart.isSeriesFilled(0));
    EXPECT_EQ(chart.seriesColor(0), QColor(Qt::blue));
    EXPECT_EQ(chart.plot()->graph(0)->pen().width(), 3);
    EXPECT_EQ(chart.seriesTitle(0), QStringLiteral("FÜLLHOEHE(cm)"));
    EXPECT_EQ(chart.plot()->yAxis->range(), QCPRange(0, 300));
    EXPECT_EQ(chart.plot()->yAxis->label(), QStringLiteral("FÜLLHÖHE"));
    EXPECT_EQ(chart.valueText(250), QStringLiteral("250 cm"));
    EXPECT_FALSE(chart.plot()->legend->visible());
    EXPECT_EQ(chart.seriesBox(0), nullptr);
    EXPECT_EQ(chart.maximumSlider(), nullptr);
    EXPECT_EQ(chart.sizeHint(), QSize(629, 169));
}

TEST_F(AreaChart, EdgeLabelsStayInsideTheChart) {
    add(3000);
    const std::vector<int> ticks = chart.labelTicks();
    ASSERT_FALSE(ticks.empty());
    ASSERT_EQ(ticks.front(), 0);
    const QFontMetrics metrics(chart.plot()->xAxis->tickLabelFont());
    const QRect plotArea = chart.plot()->axisRect()->rect();
    for (int tick : {ticks.front(), ticks.back()}) {
        const int half = metrics.horizontalAdvance(chart.label(tick).trimmed()) / 2;
        const double centre = chart.plot()->xAxis->coordToPixel(tick);
        EXPECT_GE(centre - half, 0) << tick;
        EXPECT_LE(centre + half, chart.width()) << tick;
    }
    EXPECT_GE(plotArea.left(), metrics.horizontalAdvance(chart.label(0).trimmed()) / 2);
}

// The top of the value axis carries its label ("300 cm"), and the plot area runs close to
// the chart's right edge, where no legend stands.
TEST_F(AreaChart, TopValueIsLabelledAndThePlotAreaReachesTheRightEdge) {
    add(3000);
    QCustomPlot* plot = chart.plot();
    plot->replot();
    ASSERT_FALSE(plot->yAxis->tickVector().isEmpty());
    EXPECT_EQ(plot->yAxis->tickVector().last(), 300);
    EXPECT_EQ(plot->yAxis->tickVectorLabels().last(), QStringLiteral("300 cm"));
    // The label is drawn: dark pixels left of the axis, level with the plot area's top.
    const QImage image = chart.grab().toImage();
    const QRect area = plot->axisRect()->rect();
    bool drawn = false;
    for (int y = 0; y <= area.top() + 2 && !drawn; ++y)
        for (int x = 0; x < area.left() - 2 && !drawn; ++x)
            drawn = QColor(image.pixel(x, y)).lightness() < 128;
    EXPECT_TRUE(drawn) << "no top label left of the axis above y " << area.top() + 2;

    EXPECT_LE(chart.width() - 1 - area.right(), 10);
}

TEST_F(AreaChart, AMissingValueIsAGapNotAShift) {
    const double one = 10;
    chart.addSample(QStringLiteral("a"), {&one, 1});
    chart.addSample(QStringLiteral("b"), {});
    chart.addSample(QStringLiteral("c"), {&one, 1});
    ASSERT_EQ(chart.pointCount(), 3);
    EXPECT_TRUE(std::isnan(chart.value(0, 1)));
    EXPECT_EQ(chart.value(0, 2), 10);
}

} // namespace
