#pragma once

// Decoder of the TideSpan level telegram (type 0x10); reads rxTelegram.
void DecodeLevelTelegram();
