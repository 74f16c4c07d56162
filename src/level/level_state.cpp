#include "level/level_state.h"

double levelPercent = 0;
double levelHeightCm = 0;
double levelDistanceRaw = 0;
double levelHeightRaw = 0;
RecordStore levelRecords;
ConsumerList<LevelReading> levelReadings;

void StoreLiveLevel(const LevelReading& reading) {
    levelPercent = reading.percent;
    levelHeightCm = reading.heightCm;
    levelDistanceRaw = reading.distanceTenths;
    levelHeightRaw = reading.heightTenths;
}

void ResetLevelState() {
    levelPercent = levelHeightCm = levelDistanceRaw = levelHeightRaw = 0;
    levelRecords.reset();
    levelReadings.clear();
}
