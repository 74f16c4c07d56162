#pragma once

#include <QByteArray>

#include <cstdint>

// The remote link: telegrams another station published on its <base>/telegram topic, fed into
// the same check, counters and dispatch as the USB and COM links (AcceptTelegram), so that
// this station shows, records, alarms and logs exactly as the other one. GUI thread only.
//
// They arrive from the network thread at any moment; the program queues them and the poll
// tick drains the queue right after the receivers, so that their readings carry the tick's
// time and the tick stays the only place telegrams are handed over.

// Telegrams received over the remote link (counted whether or not they pass the check).
extern std::int32_t remoteTelegramCount;
// Telegrams the queue gave up because the tick did not come in time (the oldest go).
extern std::int32_t remoteDroppedCount;

inline constexpr int kRemoteQueueBound = 64;

// Hands a 12-byte payload to AcceptTelegram() as a telegram of its own (rxTelegram stays the
// USB and COM links' buffer); other sizes are ignored. Returns whether the telegram passed
// its check.
bool FeedRemoteTelegram(const QByteArray& bytes);

// Keeps a received payload for the next tick; past kRemoteQueueBound the oldest is dropped.
void QueueRemoteTelegram(const QByteArray& bytes);
// Feeds every queued payload in arrival order; returns how many were fed.
int DrainRemoteTelegrams();

// True while a remote telegram is being dispatched.
bool RemoteFeedActive();

// Counters and queue back to the start (tests).
void ResetRemoteLinkState();
