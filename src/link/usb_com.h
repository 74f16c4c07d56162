#pragma once

// The USB receiver link: called first in every poll tick.
void PollUsbReceiver();

// Serves the USB link from the built-in simulated receiver instead of real bridges.
void UseSimulatedReceiver();
