#include "platform/locale_formats.h"
#include "temperature/termolog_line.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2026, 12, 7), QTime(14, 0, 0));

struct LocaleCase {
    QLocale locale;
    const char* date;
    const char* time;
};

TEST(LocaleFormats, NumericShortDateWithFourDigitYearAndLongTimeWithoutZone) {
    const LocaleCase cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), "07.12.2026", "14:00:00"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/7/2026", "2:00:00 PM"},
        {QLocale::c(), "2026-12-07", "14:00:00"},
        // already four digits: stays four
        {QLocale(QLocale::French, QLocale::France), "07/12/2026", "14:00:00"},
        // zone in front of the time; quoted literals keep their letters
        {QLocale(QLocale::Chinese, QLocale::China), "2026/12/7", "14:00:00"},
        {QLocale(QLocale::Bulgarian, QLocale::Bulgaria), "7.12.2026 г.", "14:00:00 ч."},
        // the zone in brackets or after a comma goes with them: no "( )", no comma that
        // would shift the fields of a TermoLog line
        {QLocale(QLocale::Spanish, QLocale::Spain), "7/12/2026", "14:00:00"},
        {QLocale(QLocale::Belarusian, QLocale::Belarus), "7.12.2026", "14:00:00"},
        {QLocale(QLocale::Albanian, QLocale::Albania), "7.12.2026", "2:00:00 E PASDITES"},
        {QLocale(QLocale::LowGerman, QLocale::Germany), "7.12.2026", "Klock 14.00:00"},
    };
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        EXPECT_EQ(ShortDate(kWhen.date(), c.locale), QString::fromUtf8(c.date));
        EXPECT_EQ(LongTime(kWhen.time(), c.locale), QString::fromUtf8(c.time));
    }
}

TEST(LocaleFormats, MorningAndMidnightKeepTheirHourStyle) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(LongTime(QTime(0, 5, 9), us), QStringLiteral("12:05:09 AM"));
    EXPECT_EQ(LongTime(QTime(9, 5, 9), QLocale(QLocale::German)), QStringLiteral("09:05:09"));
    EXPECT_EQ(ShortDate(QDate(905, 1, 2), QLocale(QLocale::German)), QStringLiteral("02.01.0905"));
}

const std::array<double, 8> kValues = {21.5, 22.0, 150.0, -3.4, 19.9, 20.1, 612.3, 0.0};

TEST(TermoLogLine, GermanLocale) {
    EXPECT_EQ(TermoLogLine(kWhen, kValues, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("07.12.2026  ,  14:00:00  ,  21.5  ,  22.0  ,  150.0  ,  -3.4  ,  "
                             "19.9  ,  20.1  ,  612.3  ,  0.0  ,  TermoLog"));
}

TEST(TermoLogLine, UsLocaleKeepsTheDecimalPointAndAmPm) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German)); // a comma locale in force changes nothing
    const QString line = TermoLogLine(kWhen, {-3276.8, 3276.7, 0.1, -0.1, 1000.0, 0, 0, 1234.5},
                                      QLocale(QLocale::English, QLocale::UnitedStates));
    QLocale::setDefault(previous);
    EXPECT_EQ(line, QStringLiteral("12/7/2026  ,  2:00:00 PM  ,  -3276.8  ,  3276.7  ,  0.1  ,  "
                                   "-0.1  ,  1000.0  ,  0.0  ,  0.0  ,  1234.5  ,  TermoLog"));
    EXPECT_EQ(line.count(QStringLiteral("  ,  ")), 10);
}

} // namespace
