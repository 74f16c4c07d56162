#pragma once

#include "link/link_state.h"

// The USB receiver link: called first in every poll tick, whatever GL_COM says. While
// closed it counts the devices and opens device 0 as soon as there is one; while open it
// reads one telegram when exactly 12 bytes are waiting. It raises no errors and recovers
// from every failure by opening the device again.
void PollUsbReceiver();

// Serves the USB link from the built-in simulated receiver instead of real bridges.
void UseSimulatedReceiver();
