// Writes the seed corpora into <folder>/<target>/ with the program's own writers:
//   build-fuzz/fuzz/make_seeds fuzz/corpus
// The seeds are checked in; run this again only when a format changes.
#include "level/levellog_line.h"
#include "link/heatspan_telegram.h"
#include "link/tidespan_telegram.h"
#include "settings/file_settings_store.h"
#include "settings/settings_io.h"
#include "temperature/termolog_line.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QString folder;

void write(const QString& target, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(folder + u'/' + target);
    QFile file(folder + u'/' + target + u'/' + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

QByteArray bytesOf(const auto& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

// A settings file as the program saves it.
QByteArray firstRunSettingsFile() {
    const QString path = QDir::temp().filePath(QStringLiteral("monidesk-seed-settings.reg"));
    Settings values;
    ApplyFirstRunDefaults(values);
    // Paths long enough for regedit's hex line breaks, names with non-ASCII letters.
    values.TLOG_PATH = "/home/anna/Messdaten/Kessel Süd/termolog.txt";
    values.LCHART_PATH = "/home/anna/Messdaten/Tank 2/pegel-2024.txt";
    values.TNAME3 = "Kessel";
    values.TNAME8 = "Außen °C";
    FileSettingsStore store(path);
    SaveSettings(store, values, {});
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    QFile::remove(path);
    return bytes;
}

void settingsSeeds() {
    const QByteArray program = firstRunSettingsFile();
    // Written by hand: UTF-8, LF, another key, a removal, hex data over two lines.
    const QByteArray edited =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"x\"=dword:1\n\n"
        "[HKEY_CURRENT_USER\\Velcor_Monidesk]\n\"TNAME1\"=\"K\\\"1\\\\\"\n"
        "\"tname2\"=hex(1):41,00,0a,00,42,00,00,00\n\"GL_COM\"=hex(4):03,00,00,00\n"
        "\"TLOG_PATH\"=hex(2):2f,00,74,00,\\\n  6d,00,70,00,00,00\n"
        "\"TNAME3\"=-\n@=hex(7):61,00,00,00,00,00\n\"LEV_ADR\"=dword:0000001";
    for (const char* target : {"settings_file", "settings_store"}) {
        write(target, QStringLiteral("program.reg"), program);
        write(target, QStringLiteral("edited.reg"), edited);
    }
    write("settings_file", QStringLiteral("cut.reg"), program.left(program.size() / 2 + 1));
}

void chartSeeds() {
    const QLocale german(QLocale::German, QLocale::Germany);
    QDateTime when(QDate(2024, 3, 1), QTime(12, 0, 0));
    QByteArray termo, level;
    for (int i = 0; i < 3; ++i, when = when.addSecs(1)) {
        termo +=
            TermoLogLine(when, {21.5, -3.2, 150.0, 0, 99.9, -40, 1000.0, 3276.7}, german).toUtf8() +
            "\r\n";
        level += LevelChartLine(when, 57 + i, german).toUtf8() + "\r\n";
        level += LevelLoggerLine(when, 57 + i, 1234, 2345, german).toUtf8() + "\r\n";
    }
    write("chart_file", QStringLiteral("termolog.txt"), termo);
    write("chart_file", QStringLiteral("levellog.txt"), level);
    write("chart_file", QStringLiteral("odd.txt"),
          "01.03.24 , 12:00:00 , 1e3 , +.5 , -0 , 1 , 2 , 3 , 4 , 5 , TermoLog\n"
          "01.03.24,12:00:01,x,LevelLog\r\r\n,,,,,,,,,,,,,,,,,,,,,,\nno line end");
}

void telegramSeeds() {
    // Five bytes of set-up (see telegram_stream.cpp), then the stream.
    QByteArray usb("\x00\x11\x00\xCC\xCC", 5);
    usb += bytesOf(TemperatureTelegram(17, kTypeTemperature0, {21.5, -3.2, 150.0, 0}));
    usb += bytesOf(TemperatureTelegram(17, kTypeTemperature1, {99.9, -40, 1000.0, 3276.7}));
    usb += bytesOf(StatusTelegram(17, kStatusAlarm | kStatusSensorError, kRangeChannel8));
    usb += bytesOf(LevelTelegram(0, {1234, 2345, 123, 57}));
    write("telegram_stream", QStringLiteral("usb.bin"), usb);

    QByteArray com("\x16\x11\x00\xCC\xCC", 5); // COM, V3 firmware, recording
    com += bytesOf(LevelTelegram(0, {1234, 2345, 123, 57}));
    Telegram broken = StatusTelegram(17, 0);
    broken[10] ^= 0x5A;
    com += bytesOf(broken) + bytesOf(StatusTelegram(17, kStatusOutput1));
    write("telegram_stream", QStringLiteral("com.bin"), com);

    QByteArray legacy("\x15\x11\x05\xBB\xBB", 5); // legacy frames on COM, recording
    legacy += bytesOf(LegacyLevelFrame({1234, 1239, 123, 57}));
    legacy += bytesOf(LegacyLevelFrame({500, 600, 7, 60}, 0x99, 0x42));
    write("telegram_stream", QStringLiteral("legacy.bin"), legacy);

    QByteArray both("\x08\x11\x00\x57\x0C", 5); // both links, frames in pieces
    both += bytesOf(TemperatureTelegram(17, kTypeTemperature0, {1, 2, 3, 4})) +
            bytesOf(LevelTelegram(0, {1, 2, 3, 4})) + bytesOf(StatusTelegram(17, 0));
    write("telegram_stream", QStringLiteral("both.bin"), both);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
        return 2;
    }
    folder = QString::fromLocal8Bit(argv[1]);
    settingsSeeds();
    chartSeeds();
    telegramSeeds();
    return 0;
}
