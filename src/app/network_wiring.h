#pragma once

// The station on the network, program-wide like the windows: made after them, fed by the
// reading consumers attached after everyone else's, gone before them.
class NetworkStation;
extern NetworkStation* networkStation;

// Makes the station and connects it to the Netzwerk window, the password keeper and the
// Diagnose window; it starts publishing once the password has been loaded.
void CreateNetworkStation();
// The publisher's consumers of readings and checked telegrams.
void AttachNetworkConsumers();
// Stops publishing (the broker sees the station go offline) and deletes the station.
void DestroyNetworkStation();

// The poll tick's part, right after the receivers: the telegrams the remote link queued
// since the last tick, then the outbox figures for the Diagnose window.
void PollRemoteLink();
