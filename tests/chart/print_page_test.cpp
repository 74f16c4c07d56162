#include "chart/print_page.h"
#include "chart/qcustomplot_include.h"
#include "chart/sample_chart.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Word {
    QString text;
    QRectF box; // points, from the page's top left
};

// The words of page 1 with their boxes, as poppler's pdftotext finds them.
std::vector<Word> wordsOf(const QString& pdf) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    run.waitForFinished(30000);
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// Page 1 as 8-bit grey pixels at `dpi`, from poppler's pdftoppm (binary PGM).
QImage pageImage(const QString& pdf, int dpi, const QString& scratch) {
    QProcess run;
    run.start(QStringLiteral("pdftoppm"),
              {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi),
               QStringLiteral("-singlefile"), pdf, scratch});
    run.waitForFinished(30000);
    return QImage(scratch + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

SampleChartOptions levelLikeOptions() {
    SampleChartOptions options;
    options.series.push_back({QStringLiteral("FÜLLSTAND(%)"), Qt::blue, 3, true});
    options.valueMaximum = 125;
    options.unit = QStringLiteral(" %");
    options.axisTitle = QStringLiteral("FÜLLSTAND");
    options.sizeHint = QSize(626, 169);
    return options;
}

TEST(PrintPage, HeadingLinesAndTheChartInsideItsRectangle) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SampleChart chart(levelLikeOptions());
    chart.resize(626, 169);
    chart.plot()->setBackground(QColor(160, 160, 160)); // so that the chart's extent shows
    for (int i = 0; i < 200; ++i) {
        const double value = 50 + 40 * std::sin(i / 20.0);
        chart.addSample(QStringLiteral("            14:%1:00 / 07.12.2026").arg(i % 60),
                        {&value, 1});
    }

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(300);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    PrintChartPage(&printer, chart, QStringLiteral("TideSpan Diagramm"),
                   QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    QLocale::setDefault(previous);

    // Printer pixels (300 per inch) from the printable area's corner, in page points.
    const QPointF origin = printer.pageLayout().paintRect(QPageLayout::Point).topLeft();
    const auto points = [&](double x, double y) { return origin + QPointF(x, y) * 72.0 / 300.0; };

    // The three lines at x = 100 and y = 100, 200, 300, in the order and words given.
    const std::vector<Word> words = wordsOf(pdf);
    const std::pair<QString, int> expected[] = {
        {QStringLiteral("TideSpan"), 100}, {QStringLiteral("Diagramm"), 100},
        {QStringLiteral("Date:"), 200},    {QStringLiteral("07.12.2026"), 200},
        {QStringLiteral("Time:"), 300},    {QStringLiteral("14:05:09"), 300}};
    for (const auto& [text, y] : expected) {
        const auto it =
            std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
        ASSERT_NE(it, words.end()) << text.toStdString();
        EXPECT_NEAR(it->box.top(), points(100, y).y(), 5.0) << text.toStdString();
        if (text == QStringLiteral("TideSpan") || text.endsWith(u':')) {
            EXPECT_NEAR(it->box.left(), points(100, y).x(), 2.0) << text.toStdString();
        }
    }

    // The chart fills exactly its rectangle (W/10, H/3 to W - W/10, H - H/10); below the
    // heading nothing else is drawn.
    constexpr int kDpi = 50;
    const QImage page = pageImage(pdf, kDpi, dir.filePath(QStringLiteral("page")));
    ASSERT_FALSE(page.isNull());
    const int w = printer.width();
    const int h = printer.height();
    const QRect rect(QPoint(w / 10, h / 3), QPoint(w - w / 10, h - h / 10));
    const auto pagePixels = [&](double x, double y) {
        return (origin + QPointF(x, y) * 72.0 / 300.0) * kDpi / 72.0;
    };
    const QRectF inside(pagePixels(rect.left(), rect.top()),
                        pagePixels(rect.right(), rect.bottom()));
    const double headingBottom = pagePixels(0, 400).y();
    QRect ink;
    for (int y = int(headingBottom) + 1; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] <= 200)
                ink |= QRect(x, y, 1, 1);
        }
    }
    EXPECT_NEAR(ink.left(), inside.left(), 1.5);
    EXPECT_NEAR(ink.top(), inside.top(), 1.5);
    EXPECT_NEAR(ink.right() + 1, inside.right(), 1.5);
    EXPECT_NEAR(ink.bottom() + 1, inside.bottom(), 1.5);
}

TEST(PrintPage, RectangleUsesIntegerDivisions) {
    EXPECT_EQ(ChartPrintRect(2480, 3508), QRect(248, 1169, 2480 - 248 - 248, 3508 - 350 - 1169));
    EXPECT_EQ(ChartPrintRect(1009, 1001), QRect(100, 333, 1009 - 100 - 100, 1001 - 100 - 333));
}

} // namespace
