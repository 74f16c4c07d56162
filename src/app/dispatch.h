#pragma once

#include "link/link_state.h"

// Hands a checked telegram to the decoder of its address and type: four independent tests
// in this order — TERM_ADR with types "0", "1", "2", then LEV_ADR with type 0x10. The
// address byte is compared with the whole 32-bit setting, so a setting outside 0..255
// matches nothing. The links reach it through the dispatcher they are given
// (SetTelegramDispatcher); each decoder's reading goes on to its consumers.
void DispatchTelegram(const Telegram& telegram);
