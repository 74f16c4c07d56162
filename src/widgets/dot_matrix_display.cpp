#include "widgets/dot_matrix_display.h"

#include "widgets/dot_matrix_glyphs.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace {
constexpr int kCellWidth = kGlyphWidth + 1;   // a glyph and the dot of space after it
constexpr int kCellHeight = kGlyphHeight + 1; // a glyph row and the dot row below it
constexpr int kHintMargin = 13;               // free border around the grid in sizeHint
constexpr char32_t kBlank = U' ';
} // namespace

DotMatrixDisplay::DotMatrixDisplay(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeContent();
}

void DotMatrixDisplay::resizeContent() {
    cells_.resize(static_cast<std::size_t>(rows_));
    for (std::u32string& row : cells_)
        row.resize(static_cast<std::size_t>(columns_), kBlank);
}

void DotMatrixDisplay::layoutChange() {
    updateGeometry();
    update();
    Q_EMIT layoutChanged();
}

void DotMatrixDisplay::setRows(int rows) {
    rows = std::max(1, rows);
    if (rows == rows_)
        return;
    rows_ = rows;
    resizeContent();
    layoutChange();
}

void DotMatrixDisplay::setColumns(int columns) {
    columns = std::max(1, columns);
    if (columns == columns_)
        return;
    columns_ = columns;
    resizeContent();
    layoutChange();
}

void DotMatrixDisplay::setDotSize(int pixels) {
    pixels = std::max(1, pixels);
    if (pixels == dotSize_)
        return;
    dotSize_ = pixels;
    layoutChange();
}

void DotMatrixDisplay::setDotSpacing(int pixels) {
    pixels = std::max(0, pixels);
    if (pixels == dotSpacing_)
        return;
    dotSpacing_ = pixels;
    layoutChange();
}

void DotMatrixDisplay::setBackgroundColor(const QColor& color) {
    if (color == backgroundColor_)
        return;
    backgroundColor_ = color;
    invalidateBackground();
}

void DotMatrixDisplay::setDotColor(const QColor& color) {
    if (color == dotColor_)
        return;
    dotColor_ = color;
    update();
}

bool DotMatrixDisplay::isCell(int column, int row) const {
    return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

void DotMatrixDisplay::clear() {
    for (int row = 0; row < rows_; ++row) {
        std::u32string& cells = cells_[static_cast<std::size_t>(row)];
        if (std::all_of(cells.begin(), cells.end(), [](char32_t c) { return c == kBlank; }))
            continue;
        std::fill(cells.begin(), cells.end(), kBlank);
        update(cellRect(0, row).united(cellRect(columns_ - 1, row)));
        Q_EMIT textChanged(row);
    }
}

void DotMatrixDisplay::write(int column, int row, const QString& text) {
    if (!isCell(column, row))
        return;
    std::u32string& cells = cells_[static_cast<std::size_t>(row)];
    QRect changed;
    for (char32_t c : text.toStdU32String()) {
        if (column >= columns_)
            break;
        char32_t& cell = cells[static_cast<std::size_t>(column)];
        if (cell != c) {
            cell = c;
            changed = changed.united(cellRect(column, row));
        }
        ++column;
    }
    if (changed.isNull())
        return;
    update(changed);
    Q_EMIT textChanged(row);
}

QString DotMatrixDisplay::text(int row) const {
    if (row < 0 || row >= rows_)
        return {};
    return QString::fromStdU32String(cells_[static_cast<std::size_t>(row)]);
}

char32_t DotMatrixDisplay::characterAt(int column, int row) const {
    if (!isCell(column, row))
        return kBlank;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

bool DotMatrixDisplay::isDotLit(int column, int row, int x, int y) const {
    return isCell(column, row) && isGlyphDotLit(dotMatrixGlyph(characterAt(column, row)), x, y);
}

QSize DotMatrixDisplay::gridSize() const {
    return {(columns_ * kCellWidth - 1) * pitch() - dotSpacing_,
            (rows_ * kCellHeight - 1) * pitch() - dotSpacing_};
}

QPoint DotMatrixDisplay::gridOrigin() const {
    const QSize grid = gridSize();
    return {(width() - grid.width()) / 2, (height() - grid.height()) / 2};
}

QRect DotMatrixDisplay::dotRect(int column, int row, int x, int y) const {
    const QPoint origin = gridOrigin();
    return {origin.x() + (column * kCellWidth + x) * pitch(),
            origin.y() + (row * kCellHeight + y) * pitch(), dotSize_, dotSize_};
}

QRect DotMatrixDisplay::cellRect(int column, int row) const {
    return dotRect(column, row, 0, 0)
        .united(dotRect(column, row, kGlyphWidth - 1, kGlyphHeight - 1));
}

QSize DotMatrixDisplay::sizeHint() const {
    return gridSize() + QSize(2 * kHintMargin, 2 * kHintMargin);
}

void DotMatrixDisplay::invalidateBackground() {
    background_.invalidate();
    update();
}

void DotMatrixDisplay::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (StaticLayer::staleAfter(event))
        invalidateBackground();
}

void DotMatrixDisplay::drawBackground(QPainter& painter) const {
    // A glass pane set into the panel: sunken rim, then the display colour.
    const QBrush face(backgroundColor_);
    qDrawShadePanel(&painter, rect(), palette(), true, 1, &face);
    painter.setPen(backgroundColor_.darker(130));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}

void DotMatrixDisplay::paintCell(QPainter& painter, int column, int row) const {
    const DotGlyph glyph = dotMatrixGlyph(characterAt(column, row));
    for (int y = 0; y < kGlyphHeight; ++y)
        for (int x = 0; x < kGlyphWidth; ++x)
            if (isGlyphDotLit(glyph, x, y))
                painter.fillRect(dotRect(column, row, x, y), dotColor_);
}

void DotMatrixDisplay::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    background_.paint(painter, *this, backgroundColor_,
                      [this](QPainter& layer) { drawBackground(layer); });
    const QRect dirty = event->rect();
    for (int row = 0; row < rows_; ++row)
        for (int column = 0; column < columns_; ++column)
            if (dirty.intersects(cellRect(column, row)))
                paintCell(painter, column, row);
}
