#pragma once

// qcustomplot.h is written with the Qt keywords, which this build switches off
// (QT_NO_KEYWORDS): map them for the header only.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define emit Q_EMIT
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef signals
#undef slots
#undef emit
#undef foreach
