#pragma once

// Puts the whole program-wide state back to its start: the links (telegram buffer,
// counters, open flags), the settings (with the network settings and --mqtt), the temperature and
// level live values and record stores, the loggers and the error report. The program itself starts
// so and never resets; tests call it between cases. Installed seams (windows, doubles) are left as
// they are.
void ResetProgramState();
