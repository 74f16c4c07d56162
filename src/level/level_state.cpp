#include "level/level_state.h"

double levelPercent = 0;
double levelHeightCm = 0;
double levelDistanceRaw = 0;
double levelHeightRaw = 0;
RecordStore levelRecords;

void ResetLevelState() {
    levelPercent = levelHeightCm = levelDistanceRaw = levelHeightRaw = 0;
    levelRecords.reset();
}
