#include "level/level_decode.h"

#include "level/level_state.h"
#include "link/telegram.h"
#include "platform/clock.h"
#include "settings/settings.h"

namespace {

constexpr int kVolumeColumn = 3;
constexpr int kPercentColumn = 5;

// "<label><integer>.<tenth> cm" from unsigned integers only: nothing is rounded.
QString centimetres(const char* label, unsigned word, bool wholeCentimetres) {
    const unsigned integer = wholeCentimetres ? word : word / 10;
    const unsigned tenth = wholeCentimetres ? 0 : word % 10;
    return QLatin1String(label) + QString::number(integer) + u'.' + QString::number(tenth) +
           QLatin1String(" cm");
}

// `text` as written at `column` of a cleared row.
QString atColumn(int column, const QString& text) {
    return QString(column, u' ') + text;
}

} // namespace

QString LevelVolumeText(std::uint16_t tensOfLitres) {
    return QString::number(tensOfLitres) + QLatin1String("0 Liter");
}

QString LevelPercentText(std::uint8_t percent) {
    return QString::number(percent) + QLatin1String(" %");
}

QString LevelDistanceText(std::uint16_t word, bool wholeCentimetres) {
    return centimetres("DISTANZ:", word, wholeCentimetres);
}

QString LevelHeightText(std::uint16_t word, bool wholeCentimetres) {
    return centimetres("PEGEL  :", word, wholeCentimetres);
}

LevelReading DecodeLevelTelegram(const Telegram& telegram, bool wholeCentimetres,
                                 const QDateTime& time) {
    LevelReading reading;
    reading.time = time;
    reading.words = ReadLevelPayload(telegram);
    reading.wholeCentimetres = wholeCentimetres;
    const LevelPayload& words = reading.words;

    reading.percent = words.percent;
    // Old firmware counts tenths of a centimetre, V3 whole centimetres; the tenths are kept
    // either way, so the data logger's lines mean the same whatever the firmware.
    const unsigned tenthsPerWord = wholeCentimetres ? 10 : 1;
    reading.distanceTenths = words.distance * tenthsPerWord;
    reading.heightTenths = words.height * tenthsPerWord;
    reading.heightCm = wholeCentimetres ? words.height : words.height / 10;
    reading.volumeLitres = words.volume * 10.0;

    reading.volumeRows = {atColumn(kVolumeColumn, LevelVolumeText(words.volume)),
                          atColumn(kPercentColumn, LevelPercentText(words.percent))};
    reading.heightRows = {LevelDistanceText(words.distance, wholeCentimetres),
                          LevelHeightText(words.height, wholeCentimetres)};
    return reading;
}

void ReceiveLevelTelegram(const Telegram& telegram) {
    CountUp(levelTelegramCount);
    levelReadings.deliver(DecodeLevelTelegram(telegram, settings.CHK_V300, TickTime()));
}
