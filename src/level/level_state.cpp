#include "level/level_state.h"

RecordStore levelRecords;

void ResetLevelState() {
    levelRecords.reset();
}
