#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

// "Short date" and "long time" as the user's settings give them: a numeric date with a
// four-digit year and the time with seconds (and AM/PM where the locale uses it), no
// time zone. The C locale gets yyyy-MM-dd and HH:mm:ss.
QString ShortDate(const QDate& date, const QLocale& locale = QLocale());
QString LongTime(const QTime& time, const QLocale& locale = QLocale());
