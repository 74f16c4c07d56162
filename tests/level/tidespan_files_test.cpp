#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level_window_test.h"
#include "platform/error_report.h"
#include "support/fake_dialogs.h"
#include "support/scratch_files.h"
#include "widgets/power_button.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The print dialog answers with a PDF printer writing into the scratch folder.
class PdfDialogs : public FakeDialogs {
public:
    QString pdf;
    bool print(QWidget*, QPrinter* printer) override {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return !pdf.isEmpty();
    }
};

class TideSpanFiles : public LevelWindowTest, protected ScratchFiles {
protected:
    void open(const QString& file) { OpenChartFile(fake, *window, file); }
    void save(const QString& file) { SaveChartFile(fake, *window, file); }
    double percentAt(int index) const { return window->chProzent->value(0, index); }

    PdfDialogs fake;
};

TEST_F(TideSpanFiles, SaveOpenSaveIsByteIdenticalAndKeepsTheHeightChart) {
    window->btRecord->click();
    for (std::uint8_t percent : {57, 58, 130})
        SendLevelTelegram({0, 1500, 0, percent});
    save(path("a.txt"));
    open(path("a.txt"));
    EXPECT_TRUE(fake.messages.isEmpty());
    EXPECT_EQ(window->statusPanel(1), QStringLiteral("Datei: ") + path("a.txt"));
    EXPECT_EQ(window->statusPanel(2), QStringLiteral("3"));
    ASSERT_EQ(window->chProzent->pointCount(), 3);
    EXPECT_EQ(percentAt(2), 130.0);
    EXPECT_EQ(window->chProzent->label(2), QStringLiteral("            10:15:30 / 07.12.2026"));
    EXPECT_EQ(window->chHoehe->pointCount(), 3); // opening leaves it alone
    save(path("b.txt"));
    EXPECT_EQ(read(path("a.txt")), read(path("b.txt")));
    EXPECT_EQ(read(path("a.txt")).count("  ,  LevelLog\r\n"), 3);
}

struct OpenCase {
    QByteArray bytes;
    int count;
    std::vector<double> values;
    const char* panel2;
    bool rejected; // "Kein LevelLog File"
};

TEST_F(TideSpanFiles, WhatOpensAsALevelChart) {
    const QByteArray line = "07.12.2026  ,  10:15:30  ,  57.0  ,  LevelLog\r\n";
    const OpenCase cases[] = {
        {"07.12.2026  ,  10:15:30  ,  57.0  ,  1234.0  ,  987.0  ,  LevelLog\r\n",
         1,
         {57},
         "5",
         false},
        {"", 0, {}, "0", false},
        // A rejected file leaves what the row before opened.
        {line + line + "\r\n", 0, {}, "0", true},
        {"a , b , 5 , Level Log\r\n", 1, {5}, "3", false},
        {"a,b,5,levellog\r\n", 1, {5}, "3", true},
        {"d,t,21.5,22.0,0,0,0,0,0,0,TermoLog\r\n" + line, 1, {5}, "3", true},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        fake.messages.clear();
        write(path("in.txt"), c.bytes);
        open(path("in.txt"));
        EXPECT_EQ(fake.messages.size(), c.rejected ? 1 : 0);
        EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze: %1").arg(c.count));
        EXPECT_EQ(window->statusPanel(2), QLatin1String(c.panel2));
        ASSERT_EQ(window->chProzent->pointCount(), int(c.values.size()));
        for (std::size_t i = 0; i < c.values.size(); ++i)
            EXPECT_EQ(percentAt(int(i)), c.values[i]);
    }
    EXPECT_EQ(fake.messages, QStringList{QStringLiteral("Kein LevelLog File")});
    write(path("in.txt"), "a , b , 5 , Level Log\r\n"); // the label loses its blanks
    open(path("in.txt"));
    EXPECT_EQ(window->chProzent->label(0), QStringLiteral("            b / a"));
}

TEST_F(TideSpanFiles, BadNumberEndsTheRebuildThroughTheErrorReport) {
    write(path("bad.txt"), "d,t,1.5,LevelLog\r\nd,t,5x,LevelLog\r\nd,t,7,LevelLog\r\n");
    open(path("bad.txt"));
    EXPECT_EQ(fake.errors, QStringList{QStringLiteral("'5x' is not a valid floating point value")});
    EXPECT_EQ(window->chProzent->pointCount(), 0); // nothing of the file is taken
    EXPECT_EQ(levelRecords.count(), 0);
    EXPECT_EQ(window->statusPanel(0), QStringLiteral("Datensätze:"));
}

TEST_F(TideSpanFiles, LongerFileLoadsWhatTheStoreHolds) {
    write(path("big.txt"), QByteArray("d,t,50,LevelLog\r\n").repeated(RecordStore::kCapacity + 3));
    open(path("big.txt"));
    EXPECT_EQ(fake.messages, QStringList{QStringLiteral(
                                 "Datei zu groß: nur die ersten 360001 Zeilen wurden geladen")});
    EXPECT_EQ(levelRecords.count(), RecordStore::kCapacity);
    EXPECT_EQ(window->chProzent->pointCount(), RecordStore::kCapacity);
}

TEST_F(TideSpanFiles, PrintsThePercentageChartUnderItsHeading) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    for (int i = 0; i < 300; ++i) {
        levelPercent = 50 + 40 * std::sin(i / 30.0);
        levelHeightCm = 2 * levelPercent;
        window->AddChartPoints(Now());
    }
    fake.pdf = path("level.pdf");
    ASSERT_TRUE(ErrorReport::RunHandler([&] { window->printlevelClick(); }));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {fake.pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(
        page.contains(QStringLiteral("TideSpan Diagramm\nDate: 07.12.2026\nTime: 10:15:30")))
        << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("FÜLLSTAND")));
    EXPECT_FALSE(page.contains(QStringLiteral("FÜLLHÖHE"))); // the height chart is not printed
    if (qEnvironmentVariableIsSet("MONIDESK_KEEP_PDF"))
        QFile::copy(fake.pdf, qEnvironmentVariable("MONIDESK_KEEP_PDF"));
}

} // namespace
