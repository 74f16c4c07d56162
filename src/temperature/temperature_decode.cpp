#include "temperature/temperature_decode.h"

#include "link/telegram.h"

void DecodeTemperatureTelegram0() {
    CountUp(tempTelegramCount);
}

void DecodeTemperatureTelegram1() {
    CountUp(tempTelegramCount);
}

void DecodeStatusTelegram() {
    CountUp(tempTelegramCount);
}
