#include "temperature/temperature_chart.h"

#include "chart/qcustomplot_include.h"
#include "support/qt_print.h"

#include <QCheckBox>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::array<double, 8> sample(int i) {
    std::array<double, 8> v{};
    for (int s = 0; s < 8; ++s)
        v[static_cast<std::size_t>(s)] = 20 + 10 * std::sin(i * 0.01 + s) + (i % 7) * 0.1;
    return v;
}

QString labelOf(int i) {
    return QStringLiteral("            %1 / 07.12.2026").arg(i);
}

class ChartTest : public testing::Test {
protected:
    TemperatureChart chart;
    void SetUp() override {
        chart.resize(647, 311);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }
    void fill(int count) {
        for (int i = 0; i < count; ++i)
            chart.addSample(labelOf(i), sample(i));
        chart.plot()->replot();
    }
    QCPAxisRect* rect() const { return chart.plot()->axisRect(); }
};

TEST_F(ChartTest, KeepsEveryPointWithItsLabel) {
    fill(5);
    EXPECT_EQ(chart.pointCount(), 5);
    EXPECT_DOUBLE_EQ(chart.value(3, 4), sample(4)[3]);
    EXPECT_EQ(chart.label(2), labelOf(2));
    chart.clear();
    EXPECT_EQ(chart.pointCount(), 0);
}

TEST_F(ChartTest, LooksAsConfigured) {
    EXPECT_EQ(chart.valueMinimum(), -55);
    EXPECT_EQ(chart.valueMaximum(), 125);
    EXPECT_EQ(chart.plot()->yAxis->range(), QCPRange(-55, 125));
    EXPECT_EQ(chart.plot()->yAxis->label(), QStringLiteral("Temperatur"));
    EXPECT_FALSE(chart.plot()->xAxis2->visible());
    EXPECT_FALSE(chart.plot()->yAxis2->visible());
    EXPECT_EQ(chart.seriesColor(4), QColor(255, 0, 128));
    EXPECT_EQ(chart.seriesColor(7), QColor(0, 128, 128));
    EXPECT_EQ(chart.plot()->graph(1)->pen().width(), 2);
    EXPECT_EQ(chart.plot()->cursor().shape(), Qt::PointingHandCursor);
    QSlider* slider = chart.maximumSlider();
    EXPECT_EQ(slider->orientation(), Qt::Vertical);
    EXPECT_EQ(slider->minimum(), 40);
    EXPECT_EQ(slider->maximum(), 1000);
    EXPECT_EQ(slider->value(), 125);
    EXPECT_EQ(slider->parentWidget(), chart.plot());
}

TEST_F(ChartTest, ChannelBoxesSitBesideTheirLegendRows) {
    for (int i = 0; i < 8; ++i)
        chart.setSeriesTitle(i, QStringLiteral("Kanal %1").arg(i + 1));
    chart.plot()->replot();
    QCPLegend* legend = chart.plot()->legend;
    ASSERT_EQ(legend->itemCount(), 8);
    for (int i = 0; i < 8; ++i) {
        const QRect row = legend->item(i)->outerRect();
        const QRect box = chart.channelBox(i)->geometry();
        EXPECT_NEAR(box.center().y(), row.center().y(), 2) << i;
        EXPECT_LE(box.right(), row.left()) << i;
        EXPECT_GE(box.left(), legend->outerRect().left()) << i;
    }
}

TEST_F(ChartTest, UncheckingABoxHidesOnlyTheLine) {
    fill(10);
    chart.channelBox(2)->setChecked(false);
    EXPECT_FALSE(chart.isSeriesVisible(2));
    EXPECT_TRUE(chart.plot()->legend->hasItemWithPlottable(chart.plot()->graph(2)));
    chart.addSample(labelOf(10), sample(10));
    EXPECT_EQ(chart.pointCount(), 11);
    chart.setSeriesVisible(2, true);
    EXPECT_TRUE(chart.channelBox(2)->isChecked());
}

TEST_F(ChartTest, SliderSetsTheAxisMaximum) {
    chart.maximumSlider()->setValue(1000);
    EXPECT_EQ(chart.valueMaximum(), 1000);
    chart.setValueMinimum(-20);
    EXPECT_EQ(chart.plot()->yAxis->range(), QCPRange(-20, 1000));
    chart.setValueMaximum(300);
    EXPECT_EQ(chart.maximumSlider()->value(), 300);
}

// Whatever maximum the slider sets, the value axis says it at its top, and no two of its
// labels overlap.
TEST_F(ChartTest, ValueAxisLabelsItsMaximum) {
    const QCPAxis* axis = chart.plot()->yAxis;
    const int labelHeight = QFontMetrics(axis->tickLabelFont()).height();
    for (int maximum : {125, 437, 998, 40}) {
        SCOPED_TRACE(maximum);
        chart.maximumSlider()->setValue(maximum);
        chart.plot()->replot();
        const QVector<double> ticks = axis->tickVector();
        ASSERT_GE(ticks.size(), 2);
        EXPECT_EQ(ticks.last(), maximum);
        EXPECT_EQ(axis->tickVectorLabels().last(), QStringLiteral("%1 °C").arg(maximum));
        for (qsizetype i = 1; i < ticks.size(); ++i)
            EXPECT_GE(axis->coordToPixel(ticks[i - 1]) - axis->coordToPixel(ticks[i]), labelHeight)
                << ticks[i];
    }
}

TEST_F(ChartTest, RubberBandZoomsAndDoubleClickGoesBack) {
    fill(2000);
    QWidget* plot = chart.plot();
    const QRect area = rect()->rect();
    const QPoint from = area.topLeft() + QPoint(area.width() / 4, 10);
    const QPoint to = area.topLeft() + QPoint(area.width() / 2, area.height() - 10);
    QTest::mousePress(plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(plot, to);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
    ASSERT_TRUE(chart.isZoomed());
    const QCPRange zoomed = chart.plot()->xAxis->range();
    EXPECT_GT(zoomed.lower, 300);
    EXPECT_LT(zoomed.upper, 1200);
    // Zoomed, new points do not move the view.
    chart.addSample(labelOf(2000), sample(2000));
    EXPECT_EQ(chart.plot()->xAxis->range(), zoomed);
    QTest::mouseDClick(plot, Qt::LeftButton, {}, area.center());
    EXPECT_FALSE(chart.isZoomed());
    EXPECT_EQ(chart.plot()->xAxis->range(), QCPRange(0, 2000));
    EXPECT_EQ(chart.plot()->yAxis->range(), QCPRange(-55, 125));
}

TEST_F(ChartTest, DrawsTheSummaryOfTheVisibleRange) {
    fill(50000);
    chart.zoomTo(10000.5, 30000.25);
    chart.plot()->replot();
    std::vector<int> expected;
    SeriesValues values;
    for (int i = 0; i < 50000; ++i)
        values.append(chart.value(5, i));
    DecimateM4(values, 10000.5, 30000.25, rect()->width(), expected);
    const std::vector<int> drawn = chart.drawnIndices(5);
    EXPECT_EQ(drawn, expected);
    EXPECT_LE(drawn.size(), static_cast<std::size_t>(4 * rect()->width()));
    EXPECT_EQ(chart.plot()->graph(5)->dataCount(), static_cast<int>(drawn.size()));
}

TEST_F(ChartTest, BottomAxisShowsTheLabelsOfTicksThatFit) {
    fill(3000);
    const QCPAxis* axis = chart.plot()->xAxis;
    const QVector<double> ticks = axis->tickVector();
    const QVector<QString> labels = axis->tickVectorLabels();
    ASSERT_GE(ticks.size(), 2);
    ASSERT_EQ(labels.size(), ticks.size());
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(labels[i], labelOf(static_cast<int>(ticks[i])).trimmed());
        if (i > 0) {
            EXPECT_GE(axis->coordToPixel(ticks[i]) - axis->coordToPixel(ticks[i - 1]), 100);
        }
    }
    // The first label and the axis title keep clear of the sliders over the left edge.
    const QFontMetrics metrics(axis->tickLabelFont());
    const double firstLeft =
        axis->coordToPixel(ticks[0]) - metrics.horizontalAdvance(labels[0]) / 2.0;
    EXPECT_GE(firstLeft, chart.maximumSlider()->geometry().right());
    EXPECT_GE(chart.plot()->yAxis->axisRect()->outerRect().left(),
              chart.maximumSlider()->geometry().right());
}

} // namespace
