#include "level/level_decode.h"

#include "level/level_state.h"
#include "link/telegram.h"
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

void DecodeLevelTelegram() {
    CountUp(levelTelegramCount);
    LevelDisplay& display = levelDisplay.get();
    display.toggleMeasurementLed();

    const LevelPayload payload = ReadLevelPayload(rxTelegram);
    levelPercent = payload.percent;
    display.setPercentCaption(LevelPercentText(payload.percent));
    display.setTankPosition(payload.percent);

    display.clearReadOut(LevelReadOut::Volume);
    display.writeReadOut(LevelReadOut::Volume, kVolumeColumn, 0, LevelVolumeText(payload.volume));
    display.writeReadOut(LevelReadOut::Volume, kPercentColumn, 1,
                         LevelPercentText(payload.percent));

    // Old firmware counts tenths of a centimetre, V3 whole centimetres; the raw values keep
    // tenths either way, so the data logger's lines mean the same whatever the firmware.
    const bool whole = settings.CHK_V300;
    const unsigned tenthsPerWord = whole ? 10 : 1;
    display.clearReadOut(LevelReadOut::Height);
    levelDistanceRaw = payload.distance * tenthsPerWord;
    display.writeReadOut(LevelReadOut::Height, 0, 0, LevelDistanceText(payload.distance, whole));
    levelHeightRaw = payload.height * tenthsPerWord;
    levelHeightCm = whole ? payload.height : payload.height / 10;
    display.writeReadOut(LevelReadOut::Height, 0, 1, LevelHeightText(payload.height, whole));

    if (levelRecords.recording)
        display.recordSample();
}
