#pragma once

#include "link/CP2102_USB.h"

// The USB receiver link: called first in every poll tick, whatever GL_COM says. While
// closed it counts the devices and opens device 0 as soon as there is one; while open it
// reads one telegram when exactly 12 bytes are waiting. It raises no errors and recovers
// from every failure by opening the device again.
void PollUsbReceiver();

// Serves the USB link from the built-in simulated receiver instead of real bridges.
void UseSimulatedReceiver();

extern SI_HANDLE usbHandle;
extern bool usbOpen;
// Passed to every SI_Read; never set, reset or waited on.
extern SiOverlapped usbReadOverlapped;
