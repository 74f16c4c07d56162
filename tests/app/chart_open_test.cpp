#include "app/program_state.h"
#include "chart/sample_chart.h"
#include "level/level_state.h"
#include "level/tidespan.h"
#include "platform/clock.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/german_test.h"
#include "support/scratch_files.h"
#include "temperature/heatspan.h"
#include "temperature/temperature_chart.h"
#include "temperature/temperature_state.h"

#include <functional>
#include <memory>

namespace {

// Bytes as written, NUL bytes included.
template <std::size_t N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// One instrument window as these tests drive it, the same for both.
struct Instrument {
    std::shared_ptr<QWidget> window;
    std::function<void()> open, save;
    std::function<void(double)> sample; // one sample recorded now, all values `value`
    RecordStore* store = nullptr;
    SampleChart* chart = nullptr;
    std::function<QString(int)> panel;
};

Instrument temperatureWindow() {
    auto window = std::make_shared<TfmTermo>();
    return {window,
            [window] { window->bt_oeffnenClick(); },
            [window] { window->bt_speichernClick(); },
            [window](double value) {
                liveTemperatures.fill(value);
                window->recordSample(Now());
            },
            &tempRecords,
            window->Chart1,
            [window](int panel) { return window->statusPanel(panel); }};
}

Instrument levelWindow() {
    auto window = std::make_shared<TfmLevel>();
    return {window,
            [window] { window->bt_oeffnenClick(); },
            [window] { window->bt_speichernClick(); },
            [window](double value) {
                levelPercent = levelHeightCm = value;
                window->recordSample(Now());
            },
            &levelRecords,
            window->chProzent,
            [window](int panel) { return window->statusPanel(panel); }};
}

enum class Kind { Temperature, Level };

struct RefusedFile {
    const char* name;
    Kind kind;
    QByteArray file;
    QString message; // the message box, or
    QString error;   // the general error report
};

class ForeignChartFile : public GermanTest<ResetProgramState>, protected ScratchFiles {
protected:
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 15, 30))};
    FakeDialogs fake;

    Instrument make(Kind kind) {
        return kind == Kind::Temperature ? temperatureWindow() : levelWindow();
    }
    void open(Instrument& instrument, const QString& file) {
        fake.openAnswers.push_back(file);
        ErrorReport::RunHandler(instrument.open);
    }
};

const QByteArray kTermoGood = "07.12.2026  ,  10:00:00  ,  21.5  ,  22.0  ,  150.0  ,  -3.4  ,  "
                              "19.9  ,  20.1  ,  612.3  ,  0.0  ,  TermoLog\r\n"
                              "07.12.2026  ,  10:00:01  ,  21.6  ,  22.0  ,  150.0  ,  -3.4  ,  "
                              "19.9  ,  20.1  ,  612.3  ,  0.0  ,  TermoLog\r\n";
const QByteArray kLevelGood = "07.12.2026  ,  10:00:00  ,  57.0  ,  LevelLog\r\n"
                              "07.12.2026  ,  10:00:01  ,  58.0  ,  LevelLog\r\n";

// Opening a file the window cannot draw is refused whole, before anything is replaced:
// the recording, its chart and all three status panels stay as after a cancelled open
// (samples taken while the dialog was up included), and the next SPEICHERN writes the
// kept recording.
TEST_F(ForeignChartFile, IsRefusedBeforeAnythingIsReplaced) {
    const RefusedFile cases[] = {
        {"levelLogInTemperatureWindow",
         Kind::Temperature,
         kLevelGood,
         QStringLiteral("Kein TermoLog File"),
         {}},
        {"termoLogInLevelWindow",
         Kind::Level,
         kTermoGood,
         QStringLiteral("Kein LevelLog File"),
         {}},
        {"foreignLineAtTheEnd",
         Kind::Level,
         kLevelGood + "\r\n",
         QStringLiteral("Kein LevelLog File"),
         {}},
        {"temperatureNulInTheMiddle",
         Kind::Temperature,
         kTermoGood + bytes("d,t,1,2,3,4,5,21\0.5\t\x01,7,8,TermoLog\r\n") + kTermoGood,
         {},
         QStringLiteral("'21\\0.5\\t\\x01' is not a valid floating point value")},
        {"levelBadNumberInTheMiddle",
         Kind::Level,
         kLevelGood + "d,t,5x,LevelLog\r\n" + kLevelGood,
         {},
         QStringLiteral("'5x' is not a valid floating point value")},
    };
    for (const RefusedFile& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProgramState();
        fake.messages.clear();
        fake.errors.clear();
        Instrument instrument = make(c.kind);
        const bool temperature = c.kind == Kind::Temperature;

        // A file opened, then one sample recorded after it.
        write(path("good.txt"), temperature ? kTermoGood : kLevelGood);
        open(instrument, path("good.txt"));
        instrument.sample(1);
        ASSERT_TRUE(fake.messages.isEmpty() && fake.errors.isEmpty());
        const std::vector<QByteArray> lines = instrument.store->lines();
        const int points = instrument.chart->pointCount();
        ASSERT_EQ(points, 3);
        QStringList labels;
        for (int i = 0; i < points; ++i)
            labels << instrument.chart->label(i);
        const QString panel1 = instrument.panel(1);
        const QString panel2 = instrument.panel(2);

        // The refused file; one more sample comes while its dialog is up.
        write(path("foreign.txt"), c.file);
        fake.whileFileDialogShown = [&] { instrument.sample(2); };
        open(instrument, path("foreign.txt"));
        fake.whileFileDialogShown = nullptr;
        EXPECT_EQ(fake.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(fake.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error});

        ASSERT_EQ(instrument.store->count(), 4);
        EXPECT_TRUE(std::equal(lines.begin(), lines.end(), instrument.store->lines().begin()));
        ASSERT_EQ(instrument.chart->pointCount(), 4);
        for (int i = 0; i < points; ++i)
            EXPECT_EQ(instrument.chart->label(i), labels[i]) << i;
        EXPECT_EQ(instrument.chart->value(0, 3), 2.0);
        EXPECT_EQ(instrument.panel(0), QStringLiteral("Datensätze: 4"));
        EXPECT_EQ(instrument.panel(1), panel1);
        EXPECT_EQ(instrument.panel(1), QStringLiteral("Datei: ") + path("good.txt"));
        EXPECT_EQ(instrument.panel(2), panel2);
        EXPECT_EQ(instrument.panel(2), temperature ? QStringLiteral("10") : QStringLiteral("3"));

        fake.saveAnswers.push_back(path("kept.txt"));
        ErrorReport::RunHandler(instrument.save);
        const QByteArray recorded =
            temperature ? "07.12.2026  ,  10:15:30  ,  1.0  ,  1.0  ,  1.0  ,  1.0  ,  1.0  ,  "
                          "1.0  ,  1.0  ,  1.0  ,  TermoLog\r\n"
                          "07.12.2026  ,  10:15:30  ,  2.0  ,  2.0  ,  2.0  ,  2.0  ,  2.0  ,  "
                          "2.0  ,  2.0  ,  2.0  ,  TermoLog\r\n"
                        : "07.12.2026  ,  10:15:30  ,  1.0  ,  LevelLog\r\n"
                          "07.12.2026  ,  10:15:30  ,  2.0  ,  LevelLog\r\n";
        EXPECT_EQ(read(path("kept.txt")), (temperature ? kTermoGood : kLevelGood) + recorded);
    }
}

} // namespace
