#include "app/diagnose.h"
#include "app/filelog.h"
#include "app/monidesk.h"
#include "app/program_state.h"
#include "app/start_unit.h"
#include "level/level_state.h"
#include "link/link_fakes.h"
#include "link/serial_com.h"
#include "link/telegram.h"
#include "platform/error_report.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "settings/setup.h"
#include "support/fake_clock.h"
#include "support/fake_dialogs.h"
#include "support/file_faults.h"
#include "support/german_test.h"
#include "support/qt_print.h"
#include "temperature/temperature_state.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

const QDate kDay(2026, 12, 7);

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The time field of each line of a log file.
QStringList LoggedTimes(const QString& path) {
    QStringList times;
    for (const QByteArray& line : ReadAll(path).split('\n'))
        if (!line.isEmpty())
            times << QString::fromLatin1(line.split(',').value(1).trimmed());
    return times;
}

class DataLoggers : public GermanTest<ResetProgramState> {
protected:
    void SetUp() override {
        settings.TLOG_PATH = termoPath.toStdString();
        settings.LLOG_PATH = levelPath.toStdString();
    }
    // The loggers' turn in a poll tick at `time`, after the readings in `arriving` came in;
    // a report waits for the tick's end.
    void tick(const QTime& time) {
        clock.time = QDateTime(kDay, time);
        for (const LoggedReading reading : arriving)
            NoteLoggedReading(reading, clock.time);
        ErrorReport::RunTick([this] {
            if (settings.CHK_TERMLOG)
                logger.WriteTermoLog();
            if (settings.CHK_LEVELLOG)
                logger.WriteLevelLog();
        });
        QCoreApplication::processEvents();
    }
    void switchOn(std::int32_t interval) {
        settings.CHK_TERMLOG = settings.CHK_LEVELLOG = true;
        settings.FRE_TERM = settings.FRE_LEVEL = interval;
    }

    static constexpr LoggedReading kEveryReading[] = {
        LoggedReading::Temperatures1To4, LoggedReading::Temperatures5To8, LoggedReading::Level};
    std::vector<LoggedReading> arriving{std::begin(kEveryReading), std::end(kEveryReading)};
    QTemporaryDir dir;
    const QString termoPath = dir.filePath(QStringLiteral("termo.log"));
    const QString levelPath = dir.filePath(QStringLiteral("level.log"));
    FakeClock clock;
    FakeDialogs dialogs;
    TfmFilelog logger;
};

TEST_F(DataLoggers, OneLinePerBoundaryFromTheFirstOneAfterTheStart) {
    struct Case {
        std::int32_t interval;
        std::vector<QTime> ticks;
        QStringList times;
    };
    std::vector<QTime> tenPerSecond;
    for (int ms = 0; ms < 3000; ms += 100)
        tenPerSecond.push_back(QTime(9, 0).addMSecs(ms));
    const Case cases[] = {
        {0,
         {QTime(12, 59, 59, 950), QTime(13, 0, 0, 50), QTime(13, 0, 0, 150), QTime(13, 0, 1)},
         {"13:00:00"}},
        {0, {QTime(23, 30), QTime(0, 0, 0, 40)}, {"00:00:00"}}, // started at 23:30
        {1, {QTime(10, 59, 30), QTime(11, 0, 0, 10), QTime(11, 0, 0, 900)}, {"11:00:00"}},
        {2, tenPerSecond, {"09:00:00", "09:00:01", "09:00:02"}},
        {3, {QTime(13, 0), QTime(13, 0, 1)}, {}}, // no item stands for 3
    };
    for (const Case& c : cases) {
        ResetLoggerState();
        QFile::remove(termoPath);
        QFile::remove(levelPath);
        switchOn(c.interval);
        for (const QTime& time : c.ticks)
            tick(time);
        EXPECT_EQ(LoggedTimes(termoPath), c.times) << c.interval;
        EXPECT_EQ(LoggedTimes(levelPath), c.times) << c.interval;
    }
    EXPECT_TRUE(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

TEST_F(DataLoggers, LinesCarryTheLiveValuesAndTheTimeThatMadeThemDue) {
    for (const LoggedReading reading : kEveryReading)
        NoteLoggedReading(reading, QDateTime(kDay, QTime(14, 0)));
    liveTemperatures = {150.0, -55.0, 21.5, 0.0, 99.9, 125.0, -0.1, 1000.0};
    levelPercent = 57;
    levelDistanceRaw = 1234;
    levelHeightRaw = 987;
    // Each reading of this clock is 0.6 s later: a second reading would stamp the next
    // second. The temperature logger reads at 0.5, the level logger at 1.1.
    QDateTime reading(kDay, QTime(14, 0, 0, 500));
    clock.function = [&] { return std::exchange(reading, reading.addMSecs(600)); };
    const QByteArray earlier = "an earlier line  ,  TermoLog\r\n";
    QFile existing(termoPath);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(earlier) > 0);
    existing.close();

    switchOn(2);
    logger.WriteTermoLog();
    logger.WriteLevelLog();
    EXPECT_EQ(ReadAll(termoPath),
              earlier + "07.12.2026  ,  14:00:00  ,  150.0  ,  -55.0  ,  21.5  ,  0.0  ,  99.9  ,  "
                        "125.0  ,  -0.1  ,  1000.0  ,  TermoLog\r\n");
    EXPECT_EQ(ReadAll(levelPath),
              QByteArray("07.12.2026  ,  14:00:01  ,  57.0  ,  1234.0  ,  987.0  ,  LevelLog\r\n"));
}

TEST_F(DataLoggers, AFullDiskLeavesNoTornLineIsReportedOnceAndLoggingResumes) {
    SmallTmpfs disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QString path = disk.path() + QStringLiteral("/termo.log");
    // Twenty bytes short of a page: the next line starts in this page and needs another.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096 - 20 - 2, 'a') + "\r\n");
    file.close();
    ASSERT_TRUE(disk.fill());
    const QByteArray before = ReadAll(path);
    settings.TLOG_PATH = path.toStdString();
    settings.CHK_TERMLOG = true;
    settings.FRE_TERM = 2;

    for (int second = 0; second < 3; ++second)
        tick(QTime(10, 0, second));
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(dialogs.errors, QStringList{"Fehler beim Schreiben der Datei " + path +
                                          ": Kein freier Speicherplatz auf dem Gerät"});

    QFile::remove(disk.path() + QStringLiteral("/filler"));
    tick(QTime(10, 0, 3));
    EXPECT_EQ(ReadAll(path), before + "07.12.2026  ,  10:00:03  ,  0.0  ,  0.0  ,  0.0  ,  0.0  ,  "
                                      "0.0  ,  0.0  ,  0.0  ,  0.0  ,  TermoLog\r\n");
}

TEST_F(DataLoggers, NoLineBeforeEveryPartOfItHasArrived) {
    switchOn(2);
    arriving = {};
    tick(QTime(9, 0, 0));
    EXPECT_EQ(TermoLogStatus(), QStringLiteral("TermoLog: wartet auf Messwerte"));
    arriving = {LoggedReading::Temperatures1To4}; // half a TermoLog line
    tick(QTime(9, 0, 1));
    EXPECT_EQ(TermoLogStatus(), QStringLiteral("TermoLog: wartet auf Messwerte"));
    arriving = {LoggedReading::Temperatures5To8, LoggedReading::Level};
    tick(QTime(9, 0, 1, 500)); // the second's line comes with the last part
    arriving = {};
    tick(QTime(9, 0, 2));
    EXPECT_EQ(LoggedTimes(termoPath), (QStringList{"09:00:01", "09:00:02"}));
    EXPECT_EQ(LoggedTimes(levelPath), (QStringList{"09:00:01", "09:00:02"}));
    EXPECT_EQ(TermoLogStatus(), QStringLiteral("TermoLog: schreibt"));
    settings.CHK_LEVELLOG = false;
    EXPECT_EQ(LevelLogStatus(), QStringLiteral("LevelLog: aus"));
}

TEST_F(DataLoggers, PausedAfterTenMinutesWithoutATelegramUntilEveryPartArrivesAgain) {
    switchOn(1);
    tick(QTime(10, 0));
    arriving = {};
    for (int minute = 1; minute < 15; ++minute)
        tick(QTime(10, minute)); // 10:10:00 is ten minutes on, not more
    EXPECT_EQ(TermoLogStatus(),
              QStringLiteral("TermoLog: angehalten – kein Telegramm seit 10:00:00"));
    // Channels 1 to 4 alone do not resume the TermoLog line.
    arriving = {LoggedReading::Temperatures1To4, LoggedReading::Level};
    tick(QTime(10, 15, 30));
    EXPECT_EQ(TermoLogStatus(),
              QStringLiteral("TermoLog: angehalten – kein Telegramm seit 10:00:00"));
    EXPECT_EQ(LevelLogStatus(), QStringLiteral("LevelLog: schreibt, Lücke 10:11:00 – 10:15:30"));
    arriving = {};
    tick(QTime(10, 16));
    arriving = {LoggedReading::Temperatures5To8};
    tick(QTime(10, 16, 20));
    arriving = {};
    tick(QTime(10, 17));

    const QStringList tenMinutes{"10:00:00", "10:01:00", "10:02:00", "10:03:00",
                                 "10:04:00", "10:05:00", "10:06:00", "10:07:00",
                                 "10:08:00", "10:09:00", "10:10:00"};
    EXPECT_EQ(LoggedTimes(termoPath), tenMinutes + QStringList("10:17:00"));
    EXPECT_EQ(LoggedTimes(levelPath), tenMinutes + (QStringList{"10:16:00", "10:17:00"}));
    EXPECT_EQ(TermoLogStatus(), QStringLiteral("TermoLog: schreibt, Lücke 10:11:00 – 10:16:20"));
    EXPECT_TRUE(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

TEST_F(DataLoggers, AfterARestartNoSecondLineForTheTimeTheFileEndsWith) {
    const QByteArray line = "07.12.2026  ,  10:00:00  ,  57.0  ,  1.0  ,  2.0  ,  LevelLog\r\n";
    const QByteArray earlier = "07.12.2026  ,  09:59:00  ,  57.0  ,  1.0  ,  2.0  ,  LevelLog\r\n";
    const struct {
        const char* name;
        QByteArray before; // what the file holds when the program starts
        QStringList times; // after ticks at 10:00:00.400 and 10:01:00
    } cases[] = {
        {"this minute's line is there", earlier + line, {"09:59:00", "10:00:00", "10:01:00"}},
        {"the minute before", earlier, {"09:59:00", "10:00:00", "10:01:00"}},
        {"another locale's date",
         "2026-12-07  ,  10:00:00  ,  57.0  ,  1.0  ,  2.0  ,  LevelLog\r\n",
         {"10:00:00", "10:00:00", "10:01:00"}},
        {"a last line longer than the part read",
         "07.12.2026  ,  10:00:00  ,  " + QByteArray(2000, '1') + "  ,  LevelLog\r\n",
         {"10:00:00", "10:00:00", "10:01:00"}},
        {"a line of two fields", "Datum  ,  Zeit\r\n", {"Zeit", "10:00:00", "10:01:00"}},
    };
    for (const auto& c : cases) {
        ResetLoggerState();
        QFile file(levelPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.before);
        file.close();
        switchOn(1);
        settings.CHK_TERMLOG = false;
        tick(QTime(10, 0, 0, 400));
        tick(QTime(10, 1));
        EXPECT_EQ(LoggedTimes(levelPath), c.times) << c.name;
        EXPECT_TRUE(ReadAll(levelPath).startsWith(c.before)) << c.name;
    }
}

// The whole program: the poll tick runs the loggers, a failing logger unticks its box in the
// setup window.
class LoggersInTheProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        CreateWindows();
        fmSerial->ComPort1 = std::make_unique<FakeSerialPort>();
    }
    void TearDown() override {
        DestroyWindows();
        ResetProgramState();
    }
    // Both transmitters deliver every reading the loggers write, through the links' check.
    static void receiveEveryReading() {
        const std::pair<std::int32_t, std::uint8_t> telegrams[] = {
            {settings.TERM_ADR, 0x30}, {settings.TERM_ADR, 0x31}, {settings.LEV_ADR, 0x10}};
        for (const auto& [address, type] : telegrams) {
            Telegram telegram{static_cast<std::uint8_t>(address), type};
            SealTelegram(telegram);
            AcceptTelegram(telegram);
        }
    }
    void tickAt(const QTime& time) {
        clock.time = QDateTime(kDay, time);
        fmStart->Timer2Timer();
    }

    // No settings file: each test starts from the first-run values, whatever the one before
    // switched on.
    struct NoSettingsStore : SettingsStoreSource {
        std::unique_ptr<SettingsStore> make() override { return nullptr; }
    } noSettings;
    ScopedInstall<SettingsStoreSource> noSettingsInstalled{settingsStoreSeam, noSettings};
    ScriptedUsbXpress usb; // installs itself
    FakeDialogs dialogs;
    FakeClock clock{QDateTime(kDay, QTime(10, 0))};
    QTemporaryDir dir;
};

TEST_F(LoggersInTheProgram, TelegramsReachTheLoggersAndDiagnoseShowsAPauseAndItsEnd) {
    const QString termoPath = dir.filePath(QStringLiteral("termo.log"));
    const QString levelPath = dir.filePath(QStringLiteral("level.log"));
    settings.TLOG_PATH = termoPath.toStdString();
    settings.LLOG_PATH = levelPath.toStdString();
    settings.CHK_TERMLOG = settings.CHK_LEVELLOG = true;
    settings.FRE_TERM = settings.FRE_LEVEL = 2;
    const auto shown = [] {
        return QStringList{fmDiagnose->l_termlog->text(), fmDiagnose->l_levellog->text()};
    };

    tickAt(QTime(10, 0));
    EXPECT_EQ(shown(),
              (QStringList{"TermoLog: wartet auf Messwerte", "LevelLog: wartet auf Messwerte"}));
    receiveEveryReading();
    tickAt(QTime(10, 0, 1));
    tickAt(QTime(10, 10, 0)); // ten minutes after the last telegram
    EXPECT_EQ(shown(), (QStringList{"TermoLog: schreibt", "LevelLog: schreibt"}));
    tickAt(QTime(10, 10, 1));
    EXPECT_EQ(shown(), (QStringList{"TermoLog: angehalten – kein Telegramm seit 10:00:00",
                                    "LevelLog: angehalten – kein Telegramm seit 10:00:00"}));
    clock.time = QDateTime(kDay, QTime(10, 12, 0, 300));
    receiveEveryReading();
    tickAt(QTime(10, 12, 0, 400));
    EXPECT_EQ(shown(), (QStringList{"TermoLog: schreibt, Lücke 10:10:01 – 10:12:00",
                                    "LevelLog: schreibt, Lücke 10:10:01 – 10:12:00"}));
    const QStringList times{"10:00:01", "10:10:00", "10:12:00"};
    EXPECT_EQ(LoggedTimes(termoPath), times);
    EXPECT_EQ(LoggedTimes(levelPath), times);
    EXPECT_TRUE(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

TEST_F(LoggersInTheProgram, AFileThatCannotBeCreatedSwitchesTheLoggerOffWithOneMessage) {
    const std::tuple<QCheckBox * TfmSetup::*, std::string Settings::*, QString> cases[] = {
        {&TfmSetup::ck_Termolog, &Settings::TLOG_PATH, dir.path()},
        {&TfmSetup::ck_Termolog, &Settings::TLOG_PATH, QStringLiteral("C:\\")}, // first run
        {&TfmSetup::ck_Levellog, &Settings::LLOG_PATH, dir.path()},
    };
    fmStart->bt_setupClick();
    settings.FRE_TERM = settings.FRE_LEVEL = 2;
    receiveEveryReading();
    for (const auto& [box, path, target] : cases) {
        dialogs.messages.clear();
        settings.*path = target.toStdString();
        (fmSetup->*box)->click();
        bool offWhileShown = false;
        dialogs.whileMessageShown = [&] {
            offWhileShown =
                !settings.CHK_TERMLOG && !settings.CHK_LEVELLOG && !(fmSetup->*box)->isChecked();
            clock.time = clock.time.addSecs(1);
            fmStart->Timer2Timer(); // ticks go on while the box is open
        };
        for (int i = 0; i < 3; ++i) {
            clock.time = clock.time.addSecs(1);
            fmStart->Timer2Timer();
        }
        EXPECT_EQ(dialogs.messages, QStringList{"Fehler bei der Dateierstellung"})
            << target.toStdString();
        EXPECT_TRUE(offWhileShown) << target.toStdString();
        EXPECT_TRUE(FilesIn(dir.path()).isEmpty()) << target.toStdString();
        EXPECT_FALSE(QFile::exists(QStringLiteral("C:\\")))
            << target.toStdString(); // not made a file here
    }
}

} // namespace
