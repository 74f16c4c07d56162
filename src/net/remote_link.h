#pragma once

#include <QByteArray>

#include <cstdint>

// The remote link: telegrams another station published on its <base>/telegram topic, fed into
// the same check, counters and dispatch as the USB and COM links (AcceptTelegram), so that
// this station shows, records, alarms and logs exactly as the other one. GUI thread only.

// Telegrams received over the remote link (counted whether or not they pass the check).
extern std::int32_t remoteTelegramCount;

// Hands a 12-byte payload to AcceptTelegram() as a telegram of its own (rxTelegram stays the
// USB and COM links' buffer); other sizes are ignored. Returns whether the telegram passed its
// check.
bool FeedRemoteTelegram(const QByteArray& bytes);

// True while a remote telegram is being dispatched.
bool RemoteFeedActive();

// The counter back to zero (tests).
void ResetRemoteLinkState();
