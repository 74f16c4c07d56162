#pragma once

#include <QString>

// The reason of a failed system call in the program's language ("Kein freier Speicherplatz
// auf dem Gerät" for ENOSPC). Every message that passes on the system's reason takes it from
// here, so the program speaks one language; a code without a text of ours gives the
// system's own.
QString SystemErrorText(int code);
