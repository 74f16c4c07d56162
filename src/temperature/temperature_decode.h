#pragma once

// Decoders of the HeatSpan telegrams; each reads rxTelegram.
void DecodeTemperatureTelegram0();
void DecodeTemperatureTelegram1();
void DecodeStatusTelegram();
