#include "platform/error_report.h"
#include "platform/locale_formats.h"
#include "settings/settings.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/file_faults.h"
#include "support/fresh_state.h"
#include "support/scratch_files.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_chart.h"
#include "temperature/temperature_state.h"
#include "temperature_telegrams.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray termoLogLine(int i) {
    return QStringLiteral("07.12.2026  ,  14:%1:00  ,  21.5  ,  22.0  ,  150.0  ,  -3.4  ,  %2  ,  "
                          "20.1  ,  612.3  ,  0.0  ,  TermoLog")
        .arg(i % 60, 2, 10, QLatin1Char('0'))
        .arg(i * 0.5, 0, 'f', 1)
        .toLatin1();
}

class HeatSpanFilesTest : public testing::Test,
                          protected FreshState<ResetTemperatureTests>,
                          protected ScratchFiles {
protected:
    FakeDialogs fake;
    TfmTermo window;

    void SetUp() override { WireTemperaturePath(&window); }
    void TearDown() override { ResetTemperatureTests(); } // the consumers go before the window

    void record(int count) {
        for (int i = 0; i < count; ++i)
            tempRecords.append(termoLogLine(i));
    }
    void open(const QString& file) { OpenChartFile(fake, window, file); }
    void save(const QString& file) { SaveChartFile(fake, window, file); }
};

TEST_F(HeatSpanFilesTest, SaveOpenSaveIsByteIdentical) {
    tempRecords.append(termoLogLine(0));
    // Kept as read, though the reader drops the spaces and takes the tab into the label.
    tempRecords.append("odd  line \twith ümlaut \xe4,  t,1,2,3,4,5,6,7,8 , Termo Log");
    tempRecords.append(termoLogLine(2));
    save(path("a.txt"));
    EXPECT_EQ(QString::fromStdString(settings.TCHART_PATH), path("a.txt"));
    EXPECT_EQ(window.statusPanel(1), QStringLiteral("Datei: ") + path("a.txt"));
    tempRecords.reset();
    open(path("a.txt"));
    EXPECT_TRUE(fake.messages.isEmpty());
    EXPECT_EQ(tempRecords.count(), 3);
    save(path("b.txt"));
    EXPECT_EQ(read(path("a.txt")), read(path("b.txt")));
    EXPECT_EQ(read(path("a.txt")).count("\r\n"), 3);
}

TEST_F(HeatSpanFilesTest, LoggerFileOpensAsChart) {
    QByteArray file;
    for (int i = 0; i < 3; ++i)
        file += termoLogLine(i) + "\r\n";
    write(path("termo.log"), file);
    open(path("termo.log"));
    EXPECT_TRUE(fake.messages.isEmpty());
    EXPECT_EQ(window.statusPanel(0), QStringLiteral("Datensätze: 3"));
    EXPECT_EQ(window.statusPanel(1), QStringLiteral("Datei: ") + path("termo.log"));
    EXPECT_EQ(window.statusPanel(2), QStringLiteral("10"));
    ASSERT_EQ(window.Chart1->pointCount(), 3);
    EXPECT_EQ(window.Chart1->label(2), QStringLiteral("            14:02:00 / 07.12.2026"));
    EXPECT_DOUBLE_EQ(window.Chart1->value(4, 2), 1.0);
    EXPECT_DOUBLE_EQ(window.Chart1->value(6, 0), 612.3);
    EXPECT_EQ(tempRecords.line(0), termoLogLine(0));
}

TEST_F(HeatSpanFilesTest, RecordingsReopenWhateverTheLocaleFormats) {
    const QLocale previous;
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    const QLocale locales[] = {
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::Spanish, QLocale::Spain),
        QLocale(QLocale::Belarusian, QLocale::Belarus),
        QLocale(QLocale::Korean, QLocale::SouthKorea),
        QLocale(QLocale::Arabic, QLocale::Egypt),
    };
    for (const QLocale& locale : locales) {
        SCOPED_TRACE(locale.name().toStdString());
        QLocale::setDefault(locale);
        fake.messages.clear();
        fake.errors.clear();
        window.bt_clearClick();
        liveTemperatures = {21.5, 22.0, 150.0, -3.4, 19.9, 20.1, 612.3, 0.0};
        window.AddChartPoints(when);
        window.AppendRecord(when);
        save(path("rec.txt"));
        open(path("rec.txt"));
        EXPECT_TRUE(fake.messages.isEmpty()) << fake.messages.join(u'|').toStdString();
        EXPECT_TRUE(fake.errors.isEmpty()) << fake.errors.join(u'|').toStdString();
        EXPECT_EQ(window.statusPanel(2), QStringLiteral("10"));
        ASSERT_EQ(window.Chart1->pointCount(), 1);
        EXPECT_DOUBLE_EQ(window.Chart1->value(6, 0), 612.3);
        // The reader drops spaces: "2:05:09 PM" comes back as "2:05:09PM".
        const QString time = LongTime(when.time()).remove(u' ');
        const QString date = ShortDate(when.date()).remove(u' ');
        EXPECT_EQ(window.Chart1->label(0), QString(12, u' ') + time + QStringLiteral(" / ") + date);
    }
    QLocale::setDefault(previous);
}

struct OpenCase {
    const char* name;
    QByteArray bytes;
    int count;
    int points;
    const char* panel2;
    QStringList messages;
};

// A file that is refused leaves the recording as it was: two lines, one point, the panels.
TEST_F(HeatSpanFilesTest, OpenReportsFilesThatAreNoTermoLog) {
    const QString notTermoLog = QStringLiteral("Kein TermoLog File");
    const OpenCase cases[] = {
        {"levelLog",
         "07.12.2026  ,  14:00:00  ,  45.2  ,  LevelLog\r\n",
         2,
         1,
         "before",
         {notTermoLog}},
        {"empty", "", 0, 0, "0", {}},
        {"trailingEmptyLine",
         termoLogLine(0) + "\r\n" + termoLogLine(1) + "\r\n\r\n",
         2,
         1,
         "before",
         {notTermoLog}},
        {"spacedMarker", "d , t , 1 , 2 , 3 , 4 , 5 , 6 , 7 , 8 , Termo Log\r\n", 1, 1, "10", {}},
        {"smallLetters", "d,t,1,2,3,4,5,6,7,8,termolog\r\n", 2, 1, "before", {notTermoLog}},
        {"crInside", "d,t,1,2,3,4,5,6,7,8,Termo\rLog\r\n", 2, 1, "before", {notTermoLog}},
    };
    for (const auto& c : cases) {
        window.bt_clearClick();
        record(2); // replaced by a file that opens
        window.Chart1->addSample(QStringLiteral("old"), {});
        window.setStatusPanel(0, QStringLiteral("Datensätze: 2"));
        window.setStatusPanel(2, QStringLiteral("before"));
        fake.messages.clear();
        write(path("in.txt"), c.bytes);
        open(path("in.txt"));
        EXPECT_EQ(fake.messages, c.messages) << c.name;
        EXPECT_EQ(tempRecords.count(), c.count) << c.name;
        EXPECT_EQ(window.Chart1->pointCount(), c.points) << c.name;
        EXPECT_EQ(window.statusPanel(0), QStringLiteral("Datensätze: %1").arg(c.count)) << c.name;
        EXPECT_EQ(window.statusPanel(2), QString::fromLatin1(c.panel2)) << c.name;
    }
}

TEST_F(HeatSpanFilesTest, BadNumberStopsTheRebuildThroughTheErrorReport) {
    window.setStatusPanel(2, QStringLiteral("before"));
    write(path("bad.txt"),
          termoLogLine(0) + "\r\nd,t,1,2,3,4,5,6,7,8.x,TermoLog\r\n" + termoLogLine(2) + "\r\n");
    open(path("bad.txt"));
    EXPECT_EQ(fake.errors,
              QStringList{QStringLiteral("'8.x' is not a valid floating point value")});
    // Nothing of the file is taken: the chart and the store stay empty, the panels stay as
    // they were, the file name too; the setting follows the dialog.
    EXPECT_EQ(window.Chart1->pointCount(), 0);
    EXPECT_EQ(tempRecords.count(), 0);
    EXPECT_EQ(window.statusPanel(2), QStringLiteral("before"));
    EXPECT_EQ(window.statusPanel(0), QStringLiteral("Datensätze:"));
    EXPECT_EQ(window.statusPanel(1), QStringLiteral("Datei:"));
    EXPECT_EQ(QString::fromStdString(settings.TCHART_PATH), path("bad.txt"));
}

TEST_F(HeatSpanFilesTest, SamplesRecordedWhileTheOpenDialogIsUpStayAheadOfTheFile) {
    write(path("file.txt"), termoLogLine(10) + "\r\n" + termoLogLine(11) + "\r\n");
    record(2); // given up once the file is read
    tempRecords.recording = true;
    fake.whileFileDialogShown = [] {
        SendChannel(1, 5.0);
        SendStatusTelegram(0);
    };
    open(path("file.txt"));
    ASSERT_EQ(tempRecords.count(), 3);
    EXPECT_TRUE(tempRecords.line(0).contains("  ,  5.0  ,  "));
    EXPECT_EQ(tempRecords.line(1), termoLogLine(10));
    EXPECT_EQ(tempRecords.line(2), termoLogLine(11));
    ASSERT_EQ(window.Chart1->pointCount(), 3);
    EXPECT_EQ(window.Chart1->value(0, 0), 5.0);
    EXPECT_EQ(window.statusPanel(0), QStringLiteral("Datensätze: 3"));
}

TEST_F(HeatSpanFilesTest, LongerFileFillsTheStoreAndSaysSoOnce) {
    QByteArray file;
    file.reserve((RecordStore::kCapacity + 5) * 16);
    for (int i = 0; i < RecordStore::kCapacity + 5; ++i)
        file += "d,t,1,2,3,4,5,6,7,8,TermoLog\r\n";
    write(path("big.txt"), file);
    open(path("big.txt"));
    EXPECT_EQ(fake.messages, QStringList{QStringLiteral(
                                 "Datei zu groß: nur die ersten 360001 Zeilen wurden geladen")});
    EXPECT_EQ(tempRecords.count(), RecordStore::kCapacity);
    EXPECT_EQ(window.Chart1->pointCount(), RecordStore::kCapacity);
    EXPECT_EQ(tempRecords.lines().size(), static_cast<std::size_t>(RecordStore::kCapacity));
}

TEST_F(HeatSpanFilesTest, CancelOrUnreadableFileKeepsTheRecording) {
    record(4);
    window.Chart1->addSample(QStringLiteral("x"), {});
    open(QString()); // cancelled
    open(path("missing.txt"));
    open(dir.path()); // a folder
    EXPECT_EQ(fake.messages,
              (QStringList{QStringLiteral("Lesefehler"), QStringLiteral("Lesefehler")}));
    EXPECT_EQ(tempRecords.count(), 4);
    EXPECT_EQ(tempRecords.line(3), termoLogLine(3));
    EXPECT_EQ(window.Chart1->pointCount(), 1);
    fake.messages.clear();
    save(path("kept.txt"));
    EXPECT_TRUE(fake.messages.isEmpty());
    EXPECT_EQ(read(path("kept.txt")).count("\r\n"), 4);
}

TEST_F(HeatSpanFilesTest, OverlongLineIsAReadErrorThatKeepsTheRecording) {
    record(2);
    window.Chart1->addSample(QStringLiteral("x"), {});
    write(path("blob.bin"), termoLogLine(0) + "\r\n" + QByteArray(5000, 'x'));
    open(path("blob.bin"));
    EXPECT_EQ(fake.messages,
              QStringList{QStringLiteral("Lesefehler: Zeile 2 ist länger als 1024 Zeichen")});
    EXPECT_EQ(tempRecords.count(), 2);
    EXPECT_EQ(tempRecords.line(1), termoLogLine(1));
    EXPECT_EQ(window.Chart1->pointCount(), 1);
    EXPECT_EQ(window.statusPanel(1), QStringLiteral("Datei: ") + path("blob.bin"));
}

TEST_F(HeatSpanFilesTest, SaveMessages) {
    save(path("none.txt"));
    EXPECT_EQ(fake.messages, QStringList{QStringLiteral("Keine Daten vorhanden")});
    EXPECT_EQ(fake.saveAnswers.size(), 1u); // no dialog was shown
    fake.saveAnswers.clear();
    record(1);
    save(QString()); // cancelled: nothing changes
    EXPECT_TRUE(settings.TCHART_PATH.empty());
    save(path("no/such/folder.txt"));
    EXPECT_EQ(fake.messages.last(), QStringLiteral("Fehler bei der Dateierstellung"));
    EXPECT_EQ(window.statusPanel(1), QStringLiteral("Datei: ") + path("no/such/folder.txt"));
}

TEST_F(HeatSpanFilesTest, FailedSaveKeepsTheOldFileAndReportsIt) {
    write(path("old.txt"), "old\r\n");
    record(40); // about 4.4 KB, less than a write buffer
    {
        const FileSizeLimit limit(1000); // the disk is "full" after 1000 bytes
        ASSERT_TRUE(limit.active());
        save(path("old.txt"));
    }
    EXPECT_EQ(fake.errors, QStringList{QStringLiteral("Fehler beim Schreiben der Datei ") +
                                       path("old.txt") + QStringLiteral(": Datei zu groß")});
    EXPECT_EQ(read(path("old.txt")), QByteArray("old\r\n"));
    EXPECT_EQ(tempRecords.count(), 40);
}

// The print dialog answers with a PDF printer writing into the scratch folder.
class PdfDialogs : public FakeDialogs {
public:
    QString pdfPath;
    bool print(QWidget*, QPrinter* printer) override {
        ++printDialogs;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfPath);
        return printAnswer;
    }
};

TEST(HeatSpanPrint, PrintsOnePageIntoAPdf) {
    QTemporaryDir dir;
    PdfDialogs pdf;
    pdf.pdfPath = dir.filePath(QStringLiteral("chart.pdf"));
    TfmTermo window;
    const FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 0, 0)));
    for (int i = 0; i < 600; ++i) {
        std::array<double, 8> v{};
        for (int s = 0; s < 8; ++s)
            v[static_cast<std::size_t>(s)] = 10 * s + 15 * std::sin(i / 60.0 + s);
        window.Chart1->addSample(QStringLiteral("            14:%1:00 / 07.12.2026").arg(i % 60),
                                 v);
    }
    window.Chart1->setSeriesVisible(3, false);
    pdf.printAnswer = false;
    window.AdvToolButton2Click();
    EXPECT_FALSE(QFile::exists(pdf.pdfPath));
    pdf.printAnswer = true;
    ErrorReport::Reset();
    EXPECT_TRUE(ErrorReport::RunHandler([&] { window.AdvToolButton2Click(); }));
    QFile file(pdf.pdfPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              1);
    if (qEnvironmentVariableIsSet("MONIDESK_KEEP_PDF"))
        QFile::copy(pdf.pdfPath, qEnvironmentVariable("MONIDESK_KEEP_PDF"));
}

TEST(HeatSpanPrint, FailingJobReachesTheErrorReport) {
    PdfDialogs pdf;
    pdf.pdfPath = QStringLiteral("/nonexistent-folder/chart.pdf");
    pdf.printAnswer = true;
    TfmTermo window;
    ErrorReport::Reset();
    EXPECT_FALSE(ErrorReport::RunHandler([&] { window.AdvToolButton2Click(); }));
    EXPECT_EQ(pdf.errors,
              QStringList{QStringLiteral("Der Druckauftrag konnte nicht begonnen werden")});
}

} // namespace
