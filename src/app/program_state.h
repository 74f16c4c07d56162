#pragma once

// Puts the whole program-wide state back to its start, layer by layer, each through the
// reset beside its definition: the error report, the settings, the links (telegram buffer,
// counters, open flags, indicators, dispatcher, consumers of checked telegrams, notice hook),
// the network settings and --mqtt, the alarm response, the temperature and level live values,
// record stores and reading consumers, and the loggers. The program itself starts so and never
// resets; tests call it between cases. The seams that only test doubles fill (dialogs, clock,
// settings store, USB library) are left alone: a double puts back what it found when it goes
// (ScopedInstall).
void ResetProgramState();
