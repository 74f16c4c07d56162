#include "level/level_decode.h"

#include "link/telegram.h"

void DecodeLevelTelegram() {
    CountUp(levelTelegramCount);
}
