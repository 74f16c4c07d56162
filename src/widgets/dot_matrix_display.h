#pragma once

#include "widgets/static_layer.h"
#include <QColor>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

// A dot-matrix text read-out: rows of character cells, each character 5 x 7 square
// dots with one dot of space between characters and between rows, on a plain
// background. Only lit dots are drawn. The dot grid sits centred in the widget.
// Text goes in with write() at a cell and stays until overwritten or cleared;
// characters beyond the last column of their row are dropped.
class DotMatrixDisplay : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int rows READ rows WRITE setRows NOTIFY layoutChanged)
    Q_PROPERTY(int columns READ columns WRITE setColumns NOTIFY layoutChanged)
    Q_PROPERTY(int dotSize READ dotSize WRITE setDotSize NOTIFY layoutChanged)
    Q_PROPERTY(int dotSpacing READ dotSpacing WRITE setDotSpacing NOTIFY layoutChanged)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QColor dotColor READ dotColor WRITE setDotColor)

public:
    explicit DotMatrixDisplay(QWidget* parent = nullptr);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    int dotSize() const { return dotSize_; }
    int dotSpacing() const { return dotSpacing_; }
    QColor backgroundColor() const { return backgroundColor_; }
    QColor dotColor() const { return dotColor_; }

    // Changing rows or columns keeps the text that still fits.
    void setRows(int rows);
    void setColumns(int columns);
    void setDotSize(int pixels);
    void setDotSpacing(int pixels); // blank pixels between neighbouring dots
    void setBackgroundColor(const QColor& color);
    void setDotColor(const QColor& color);

    // Every cell blank.
    void clear();
    // Writes text into consecutive cells from (column, row) on; what does not fit in the
    // row is dropped; a cell outside the display writes nothing.
    void write(int column, int row, const QString& text);
    // What a row holds, one character per column, blanks where nothing was written.
    QString text(int row) const;
    char32_t characterAt(int column, int row) const;

    // Content and geometry for the current size, in widget pixels.
    bool isDotLit(int column, int row, int x, int y) const; // dot (x, y) of a cell's 5 x 7
    QSize gridSize() const;                                 // all dots, outer spacing excluded
    QPoint gridOrigin() const;                              // top left of the centred grid
    QRect cellRect(int column, int row) const;              // the 5 x 7 dots of a cell
    QRect dotRect(int column, int row, int x, int y) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return gridSize(); }

Q_SIGNALS:
    void layoutChanged();
    void textChanged(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int pitch() const { return dotSize_ + dotSpacing_; }
    bool isCell(int column, int row) const;
    void resizeContent();
    void layoutChange();
    void invalidateBackground();
    void drawBackground(QPainter& painter) const;
    void paintCell(QPainter& painter, int column, int row) const;

    int rows_ = 2;
    int columns_ = 16;
    int dotSize_ = 3;
    int dotSpacing_ = 0;
    QColor backgroundColor_{128, 128, 0}; // olive
    QColor dotColor_{Qt::black};
    std::vector<std::u32string> cells_; // one string of columns_ characters per row
    StaticLayer background_;            // background and frame
};
