#include "chart/sample_chart.h"

#include "chart/qcustomplot_include.h"

#include <QCheckBox>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

// The plot with its layout pass reachable, so that printing can lay it out at the
// target size before drawing.
class ChartPlot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;
    using QCustomPlot::updateLayout;
};

// A series that draws from its own store: right before drawing it loads the
// first/min/max/last summary per pixel column of the visible range into the graph, so
// QCustomPlot only ever sees a few points per column.
class DecimatedGraph : public QCPGraph {
public:
    DecimatedGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const SeriesValues* values,
                   const SampleChartOptions::Series& style)
        : QCPGraph(keyAxis, valueAxis), values_(values) {
        setPen(QPen(style.color, style.lineWidth));
        if (style.filled) {
            setBrush(style.color);
            // An antialiased outline of two pixels or more covers the area's edge: the area
            // is filled without antialiasing, and what lies inside it is not drawn, the same
            // picture in half the time.
            setAntialiasedFill(style.lineWidth < 2);
            if (style.lineWidth >= 2)
                areaTo_ = 0.0;
        }
        // A filled area reaches down to the value 0: the summary keeps the extremes of each
        // column, so the outline and the fill look as with every point.
        setAdaptiveSampling(false);
        setSelectable(QCP::stNone);
    }

    void visibleIndices(std::vector<int>& indices) const {
        const QCPRange range = keyAxis()->range();
        const int columns = std::max(1, keyAxis()->axisRect()->width());
        DecimateM4(*values_, range.lower, range.upper, columns, indices, areaTo_);
    }

protected:
    void draw(QCPPainter* painter) override {
        visibleIndices(indices_);
        points_.resize(static_cast<qsizetype>(indices_.size()));
        for (std::size_t i = 0; i < indices_.size(); ++i)
            points_[static_cast<qsizetype>(i)] =
                QCPGraphData(indices_[i], values_->at(indices_[i]));
        data()->set(points_, true);
        QCPGraph::draw(painter);
    }

private:
    const SeriesValues* values_;
    std::optional<double> areaTo_;
    std::vector<int> indices_;
    QVector<QCPGraphData> points_;
};

namespace {

constexpr int kBoxRoom = 20; // legend margin left of the rows, for the channel boxes
// Between the plot area and the chart's right edge where no legend stands there.
constexpr int kRightRoom = 8;

// Bottom axis: ticks only at points whose labels fit, each showing its point's label.
class LabelTicker : public QCPAxisTicker {
public:
    explicit LabelTicker(const SampleChart* chart) : chart_(chart) {}

    void generate(const QCPRange&, const QLocale&, QChar, int, QVector<double>& ticks,
                  QVector<double>* subTicks, QVector<QString>* tickLabels) override {
        const std::vector<int> picked = chart_->labelTicks();
        ticks.clear();
        for (int index : picked)
            ticks.append(index);
        if (subTicks)
            subTicks->clear();
        if (tickLabels) {
            tickLabels->clear();
            for (int index : picked)
                tickLabels->append(chart_->label(index).trimmed());
        }
    }

private:
    const SampleChart* chart_;
};

// Left axis: "#,##0.#" and the unit, at round steps and always at the top of the range, so
// that the chart says how high it reaches also when the maximum is no round number (the
// slider's 437 °C). A round tick too close below the top gives way to it.
class ValueTicker : public QCPAxisTicker {
public:
    ValueTicker(QString unit, const QCPAxis* axis) : unit_(std::move(unit)), axis_(axis) {}

protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        return FormatAxisValue(tick, unit_);
    }

    QVector<double> createTickVector(double tickStep, const QCPRange& range) override {
        QVector<double> ticks = QCPAxisTicker::createTickVector(tickStep, range);
        const double near = range.size() * 1e-9;
        while (!ticks.isEmpty() && ticks.last() > range.upper + near)
            ticks.removeLast();
        if (!ticks.isEmpty() && ticks.last() >= range.upper - near)
            return ticks;
        const double pixelsPerUnit = axis_->axisRect()->height() / range.size();
        const int labelHeight = QFontMetrics(axis_->tickLabelFont()).height();
        if (!ticks.isEmpty() && (range.upper - ticks.last()) * pixelsPerUnit < labelHeight + 2)
            ticks.removeLast();
        ticks.append(range.upper);
        return ticks;
    }

private:
    QString unit_;
    const QCPAxis* axis_;
};

// While printing: the plot's fonts sized in screen pixels instead of points, so that text
// keeps its size relative to the chart when the chart is scaled onto the page (a point
// size would be taken at the printer's resolution and then scaled once more).
class ScreenSizedFonts {
public:
    explicit ScreenSizedFonts(QCustomPlot* plot) : dpi_(plot->logicalDpiY()) {
        for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
            swap(axis->tickLabelFont(), [axis](const QFont& f) { axis->setTickLabelFont(f); });
            swap(axis->labelFont(), [axis](const QFont& f) { axis->setLabelFont(f); });
        }
        for (int i = 0; i < plot->legend->itemCount(); ++i) {
            QCPAbstractLegendItem* item = plot->legend->item(i);
            swap(item->font(), [item](const QFont& f) { item->setFont(f); });
        }
    }
    ~ScreenSizedFonts() {
        for (auto& restore : restore_)
            restore();
    }
    ScreenSizedFonts(const ScreenSizedFonts&) = delete;
    ScreenSizedFonts& operator=(const ScreenSizedFonts&) = delete;

private:
    void swap(const QFont& font, const std::function<void(const QFont&)>& set) {
        if (font.pointSizeF() <= 0)
            return;
        QFont pixels = font;
        pixels.setPixelSize(std::max(1, qRound(font.pointSizeF() * dpi_ / 72.0)));
        set(pixels);
        restore_.push_back([set, font] { set(font); });
    }

    int dpi_;
    std::vector<std::function<void()>> restore_;
};

} // namespace

SampleChart::SampleChart(const SampleChartOptions& options, QWidget* parent)
    : QWidget(parent), values_(options.series.size()), unit_(options.unit),
      valueMinimum_(options.valueMinimum), valueMaximum_(options.valueMaximum),
      sizeHint_(options.sizeHint) {
    plot_ = new ChartPlot(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);
    plot_->setBackground(Qt::white);
    plot_->setCursor(Qt::PointingHandCursor);
    plot_->setPlottingHint(QCP::phFastPolylines, true);
    for (std::size_t i = 0; i < options.series.size(); ++i) {
        const SampleChartOptions::Series& style = options.series[i];
        auto* graph = new DecimatedGraph(plot_->xAxis, plot_->yAxis, &values_[i], style);
        graph->setName(style.title);
        graphs_.push_back(graph);
    }
    setupAxes(options);
    plot_->plotLayout()->setMargins(QMargins(options.leftRoom, 0, 0, 0));
    if (options.legend)
        setupLegend();
    if (options.maximumSlider)
        setupMaximumSlider(*options.maximumSlider);

    plot_->setSelectionRectMode(QCP::srmZoom);
    plot_->selectionRect()->setPen(QPen(Qt::black, 1, Qt::DashLine));
    connect(plot_->selectionRect(), &QCPSelectionRect::accepted, this, [this] { onRectZoom(); });
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, [this] { resetZoom(); });
    connect(plot_, &QCustomPlot::mouseRelease, this, [this](QMouseEvent* event) {
        if (event->button() == Qt::RightButton)
            resetZoom();
    });
    connect(plot_, &QCustomPlot::afterLayout, this, [this] { placeLegendBoxes(); });
    connect(plot_, &QCustomPlot::beforeReplot, this, [this] {
        followAllPoints();
        keepEdgeLabelsInside();
    });
    resetZoom();
}

SampleChart::~SampleChart() = default;

void SampleChart::setupAxes(const SampleChartOptions& options) {
    plot_->axisRect()->setBackground(Qt::white);
    plot_->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new ValueTicker(unit_, plot_->yAxis)));
    plot_->yAxis->setLabel(options.axisTitle);
    plot_->yAxis->setRange(valueMinimum_, valueMaximum_);
    plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new LabelTicker(this)));
    plot_->xAxis->setSubTicks(false);
    plot_->xAxis2->setVisible(false);
    plot_->yAxis2->setVisible(false);
}

void SampleChart::setupLegend() {
    // The legend sits right of the plot area, on top of its column; the channel boxes go
    // into its left margin, one beside each row.
    QCPLegend* legend = plot_->legend;
    legend->setVisible(true);
    legend->setBorderPen(Qt::NoPen);
    legend->setBrush(Qt::white);
    legend->setMargins(QMargins(kBoxRoom, 4, 4, 4));
    plot_->axisRect()->insetLayout()->take(legend);
    auto* column = new QCPLayoutGrid;
    plot_->plotLayout()->addElement(0, 1, column);
    plot_->plotLayout()->setColumnStretchFactor(1, 0.001);
    column->addElement(0, 0, legend);
    column->addElement(1, 0, new QCPLayoutElement(plot_));
    column->setRowStretchFactor(0, 0.001);
    for (int i = 0; i < seriesCount(); ++i) {
        auto* box = new QCheckBox(plot_);
        box->setChecked(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->resize(box->sizeHint());
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) { setSeriesVisible(i, on); });
        boxes_.push_back(box);
    }
}

void SampleChart::setupMaximumSlider(const SampleChartOptions::Slider& range) {
    // Top left inside the chart, over the value axis.
    maximumSlider_ = new QSlider(Qt::Vertical, plot_);
    maximumSlider_->setRange(range.minimum, range.maximum);
    maximumSlider_->setValue(qRound(valueMaximum_));
    maximumSlider_->setTickPosition(QSlider::NoTicks);
    maximumSlider_->setGeometry(2, 4, 18, 110);
    connect(maximumSlider_, &QSlider::valueChanged, this,
            [this](int value) { setValueMaximum(value); });
}

void SampleChart::placeLegendBoxes() {
    QCPLegend* legend = plot_->legend;
    for (int i = 0; i < static_cast<int>(boxes_.size()); ++i) {
        QCheckBox* box = boxes_[static_cast<std::size_t>(i)];
        QCPAbstractLegendItem* item =
            legend->itemWithPlottable(graphs_[static_cast<std::size_t>(i)]);
        if (!item)
            continue;
        const QRect row = item->outerRect();
        box->move(legend->outerRect().left() + 2, row.center().y() - box->height() / 2);
    }
}

void SampleChart::queueReplot() {
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void SampleChart::followAllPoints() {
    if (!zoomed_)
        plot_->xAxis->setRange(0, std::max(1, pointCount() - 1));
}

void SampleChart::followNewPoints() {
    // The range follows at the next replot: nothing per sample but the queued replot.
    queueReplot();
    Q_EMIT pointCountChanged(pointCount());
}

void SampleChart::appendValues(std::span<const double> values) {
    // A series without a value in `values` gets a gap (NaN), so all series keep one length.
    for (std::size_t i = 0; i < values_.size(); ++i)
        values_[i].append(i < values.size() ? values[i] : std::numeric_limits<double>::quiet_NaN());
}

void SampleChart::addSample(const QString& label, std::span<const double> values) {
    appendValues(values);
    labels_.append(label);
    followNewPoints();
}

void SampleChart::addSampleUtf8(QByteArrayView label, std::span<const double> values) {
    appendValues(values);
    labels_.appendUtf8(label);
    followNewPoints();
}

void SampleChart::clear() {
    for (auto& series : values_)
        series.clear();
    labels_.clear();
    resetZoom();
    Q_EMIT pointCountChanged(0);
}

int SampleChart::pointCount() const {
    return labels_.size();
}

double SampleChart::value(int series, int index) const {
    return values_.at(static_cast<std::size_t>(series)).at(index);
}

QString SampleChart::label(int index) const {
    return labels_.at(index);
}

void SampleChart::setSeriesTitle(int series, const QString& title) {
    QCPGraph* graph = graphs_.at(static_cast<std::size_t>(series));
    if (graph->name() == title)
        return;
    graph->setName(title);
    queueReplot();
}

QString SampleChart::seriesTitle(int series) const {
    return graphs_.at(static_cast<std::size_t>(series))->name();
}

void SampleChart::setSeriesVisible(int series, bool visible) {
    QCPGraph* graph = graphs_.at(static_cast<std::size_t>(series));
    if (graph->visible() == visible)
        return;
    // Only the line goes: the legend row stays and points are still added.
    graph->setVisible(visible);
    if (QCheckBox* box = seriesBox(series))
        box->setChecked(visible);
    queueReplot();
    Q_EMIT seriesVisibleChanged(series, visible);
}

bool SampleChart::isSeriesVisible(int series) const {
    return graphs_.at(static_cast<std::size_t>(series))->visible();
}

QColor SampleChart::seriesColor(int series) const {
    return graphs_.at(static_cast<std::size_t>(series))->pen().color();
}

bool SampleChart::isSeriesFilled(int series) const {
    return graphs_.at(static_cast<std::size_t>(series))->brush().style() != Qt::NoBrush;
}

QString SampleChart::valueText(double value) const {
    return FormatAxisValue(value, unit_);
}

void SampleChart::applyValueRange() {
    plot_->yAxis->setRange(valueMinimum_, valueMaximum_);
    queueReplot();
}

void SampleChart::setValueMinimum(double minimum) {
    if (minimum == valueMinimum_)
        return;
    valueMinimum_ = minimum;
    applyValueRange();
    Q_EMIT valueRangeChanged();
}

void SampleChart::setValueMaximum(double maximum) {
    if (maximum == valueMaximum_)
        return;
    valueMaximum_ = maximum;
    if (maximumSlider_ && maximumSlider_->value() != qRound(maximum)) {
        const QSignalBlocker block(maximumSlider_);
        maximumSlider_->setValue(qRound(maximum));
    }
    applyValueRange();
    Q_EMIT valueRangeChanged();
}

void SampleChart::resetZoom() {
    zoomed_ = false;
    plot_->xAxis->setRange(0, std::max(1, pointCount() - 1));
    applyValueRange();
}

void SampleChart::zoomTo(double lower, double upper) {
    if (!(upper > lower))
        return;
    zoomed_ = true;
    plot_->xAxis->setRange(lower, upper);
    queueReplot();
}

void SampleChart::onRectZoom() {
    const QCPRange whole(0, std::max(1, pointCount() - 1));
    zoomed_ = plot_->xAxis->range() != whole ||
              plot_->yAxis->range() != QCPRange(valueMinimum_, valueMaximum_);
    queueReplot();
}

void SampleChart::keepEdgeLabelsInside() {
    // The bottom labels are centred on their points, so the first one would stick out of the
    // chart by half its width: the plot area keeps half a label's room from the left edge.
    // On the right it reaches close to the edge (or to the legend), and a label that would
    // stick out there is left off (labelTicks): room kept for the last point's label would
    // stand empty whenever the labels' step does not end on it. The value axis' top label is
    // centred on the plot area's top edge: half its height stays free above. Below, the room
    // of one row of labels stays while there are none yet, so that the value axis' lowest
    // number is not cut off at the bottom of an empty chart.
    const QCPAxis* bottom = plot_->xAxis;
    const QFontMetrics metrics(bottom->tickLabelFont());
    int half = 0;
    if (pointCount() > 0) {
        for (int sample : {0, pointCount() - 1})
            half = std::max(half, (metrics.horizontalAdvance(label(sample).trimmed()) + 1) / 2);
    }
    const int left = half > 0 ? half + 4 : 0;
    const int right = boxes_.empty() ? kRightRoom : 0;
    const int top = (QFontMetrics(plot_->yAxis->tickLabelFont()).height() + 1) / 2 + 1;
    const int labelRow =
        bottom->padding() + bottom->tickLabelPadding() + bottom->tickLengthOut() + metrics.height();
    const QMargins minimum(left, top, right, labelRow);
    if (plot_->axisRect()->minimumMargins() != minimum)
        plot_->axisRect()->setMinimumMargins(minimum);
}

std::vector<int> SampleChart::labelTicks() const {
    const QCPAxis* axis = plot_->xAxis;
    const QCPRange range = axis->range();
    const QFontMetrics metrics(axis->tickLabelFont());
    double spacing = kLabelSpacing;
    if (pointCount() > 0) {
        // Wide labels push their neighbours further apart, so that no two overlap.
        const int first = std::clamp(static_cast<int>(std::ceil(range.lower)), 0, pointCount() - 1);
        const int last =
            std::clamp(static_cast<int>(std::floor(range.upper)), first, pointCount() - 1);
        for (int sample : {first, first + (last - first) / 2, last})
            spacing = std::max(spacing, metrics.horizontalAdvance(label(sample).trimmed()) + 12.0);
    }
    std::vector<int> ticks =
        PickLabelTicks(range.lower, range.upper, axis->axisRect()->width(), pointCount(), spacing);
    // A label that would not fit into the chart goes with its tick (QCustomPlot would leave
    // off only the text). A couple of pixels spare for the text's bounds.
    const QRect chart = plot_->viewport();
    std::erase_if(ticks, [&](int tick) {
        const double half = metrics.horizontalAdvance(label(tick).trimmed()) / 2.0 + 2;
        const double centre = axis->coordToPixel(tick);
        return centre - half < chart.left() || centre + half > chart.right();
    });
    return ticks;
}

std::vector<int> SampleChart::drawnIndices(int series) const {
    std::vector<int> indices;
    graphs_.at(static_cast<std::size_t>(series))->visibleIndices(indices);
    return indices;
}

// The chart laid out at the pixel size it would have on the screen for `target` on the
// painter's device; put back by the destructor.
class PrintLayout {
public:
    PrintLayout(ChartPlot* plot, const QPaintDevice* device, const QRect& target)
        : plot_(plot), fonts_(plot), oldViewport_(plot->viewport()) {
        const double scale = device->logicalDpiX() / static_cast<double>(plot->logicalDpiX());
        size = QSize(std::max(1, qRound(target.width() / scale)),
                     std::max(1, qRound(target.height() / scale)));
        plot_->setViewport(QRect(QPoint(0, 0), size));
        plot_->updateLayout(); // ticks and decimation for the new size
    }
    ~PrintLayout() {
        plot_->setViewport(oldViewport_);
        plot_->updateLayout();
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
    PrintLayout(const PrintLayout&) = delete;
    PrintLayout& operator=(const PrintLayout&) = delete;

    QSize size;

private:
    ChartPlot* plot_;
    ScreenSizedFonts fonts_;
    QRect oldViewport_;
};

void SampleChart::render(QCPPainter* painter, const QRect& target) {
    if (target.isEmpty())
        return;
    // Vector output (printers, PDF): the screen-sized chart scaled into the target.
    followAllPoints();
    const PrintLayout layout(plot_, painter->device(), target);
    painter->save();
    painter->translate(target.topLeft());
    painter->scale(target.width() / static_cast<double>(layout.size.width()),
                   target.height() / static_cast<double>(layout.size.height()));
    painter->setMode(QCPPainter::pmVectorized);
    plot_->toPainter(painter, layout.size.width(), layout.size.height());
    painter->restore();
}

QCheckBox* SampleChart::seriesBox(int series) const {
    const auto i = static_cast<std::size_t>(series);
    return i < boxes_.size() ? boxes_[i] : nullptr;
}

QCustomPlot* SampleChart::plot() const {
    return plot_;
}
