#include "temperature/termolog_line.h"

#include "chart/record_line.h"

QString TermoLogLine(const QDateTime& when, const std::array<double, 8>& temperatures,
                     const QLocale& locale) {
    return RecordLine(when, temperatures, kTermoLogMarker, locale);
}
