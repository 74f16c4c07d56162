#include "level/level_state.h"

#include "level/level_decode.h"

double levelPercent = 0;
double levelHeightCm = 0;
double levelDistanceRaw = 0;
double levelHeightRaw = 0;
RecordStore levelRecords;

namespace {

class NoDisplay final : public LevelDisplay {
public:
    void toggleMeasurementLed() override {}
    void setPercentCaption(const QString&) override {}
    void setTankPosition(double) override {}
    void clearReadOut(LevelReadOut) override {}
    void writeReadOut(LevelReadOut, int, int, const QString&) override {}
    void recordSample() override {}
};

LevelDisplay& noDisplay() {
    static NoDisplay none;
    return none;
}

} // namespace

Seam<LevelDisplay> levelDisplay(noDisplay);

void ResetLevelState() {
    levelPercent = levelHeightCm = levelDistanceRaw = levelHeightRaw = 0;
    levelRecords.reset();
}
