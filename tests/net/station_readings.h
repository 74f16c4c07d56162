#pragma once

// Numbered TideSpan readings that carry their number in their time, so that a test can tell
// from a state document which reading it is and whether its time is its own.
#include "net/instrument_states.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

inline constexpr qint64 kReadingEpochMs = 1'714'557'600'000; // 2024-05-01 10:00 UTC

inline TideSpanState NumberedReading(int n) {
    TideSpanState state;
    state.time =
        QDateTime::fromMSecsSinceEpoch(kReadingEpochMs + qint64(n) * 1000, QTimeZone(3600));
    state.percent = n % 101;
    state.heightCm = 10.5;
    state.distanceCm = 90.5;
    state.volumeL = 1230;
    return state;
}

// The reading a state document is of, from its "timestamp_ms"; -1 when its "time" (ISO 8601)
// does not say the same instant.
inline int ReadingNumber(const QByteArray& document) {
    const QJsonObject json = QJsonDocument::fromJson(document).object();
    const qint64 ms = static_cast<qint64>(json[QLatin1String("timestamp_ms")].toDouble());
    const QDateTime time =
        QDateTime::fromString(json[QLatin1String("time")].toString(), Qt::ISODateWithMs);
    if (!time.isValid() || time.toMSecsSinceEpoch() != ms)
        return -1;
    return static_cast<int>((ms - kReadingEpochMs) / 1000);
}
