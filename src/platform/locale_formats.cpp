#include "platform/locale_formats.h"

#include <vector>

namespace {

// Walks a Qt date/time format and hands each run of one unquoted letter to `token`
// (letter, run length) and each other piece (quoted text, punctuation) to `literal`.
template <typename Token, typename Literal>
void walkFormat(const QString& format, Token token, Literal literal) {
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            const qsizetype end = format.indexOf(u'\'', i + 1);
            const qsizetype next = end < 0 ? format.size() : end + 1;
            literal(format.mid(i, next - i));
            i = next;
        } else if (c.isLetter()) {
            qsizetype run = 1;
            while (i + run < format.size() && format.at(i + run) == c)
                ++run;
            token(c, run);
            i += run;
        } else {
            literal(QString(c));
            ++i;
        }
    }
}

// A short date format is numeric when it spells neither month nor day names.
bool isNumericDate(const QString& format) {
    bool numeric = true;
    walkFormat(
        format,
        [&](QChar letter, qsizetype run) {
            if ((letter == u'M' || letter == u'd') && run >= 3)
                numeric = false;
        },
        [](const QString&) {});
    return numeric;
}

// The short date with a four-digit year: "yy" becomes "yyyy", "yyyy" stays.
QString widenYear(const QString& format) {
    QString out;
    walkFormat(
        format,
        [&](QChar letter, qsizetype run) {
            out += QString(letter == u'y' && run == 2 ? 4 : run, letter);
        },
        [&](const QString& text) { out += text; });
    return out;
}

// The long time format without its time zone (t ... tttt) and without the spaces, commas
// and brackets that tie the zone to the rest ("HH:mm:ss (t)", "HH:mm:ss, t"): left in,
// they would put a comma into the TermoLog line or "( )" after the time.
QString withoutTimeZone(const QString& format) {
    struct Piece {
        QString text;
        bool zone = false;
        bool joiner = false; // an unquoted space, comma or bracket
    };
    std::vector<Piece> pieces;
    walkFormat(
        format,
        [&](QChar letter, qsizetype run) {
            pieces.push_back({QString(run, letter), letter == u't', false});
        },
        [&](const QString& text) {
            const bool joiner = text.size() == 1 && (text.at(0).isSpace() ||
                                                     QStringLiteral(",()[]").contains(text.at(0)));
            pieces.push_back({text, false, joiner});
        });
    std::vector<bool> dropped(pieces.size(), false);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].zone)
            continue;
        dropped[i] = true;
        for (std::size_t j = i; j > 0 && pieces[j - 1].joiner; --j)
            dropped[j - 1] = true;
        for (std::size_t j = i + 1; j < pieces.size() && pieces[j].joiner; ++j)
            dropped[j] = true;
    }
    QString out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!dropped[i])
            out += pieces[i].text;
    }
    return out.trimmed();
}

#ifdef Q_OS_WIN
// On Windows the system locale carries the user's own short date and long time.
bool usesUserSettings(const QLocale& locale) {
    return locale == QLocale::system();
}
#else
bool usesUserSettings(const QLocale&) {
    return false;
}
#endif

} // namespace

QString ShortDate(const QDate& date, const QLocale& locale) {
    if (usesUserSettings(locale))
        return locale.toString(date, QLocale::ShortFormat);
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!isNumericDate(format))
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    return locale.toString(date, widenYear(format));
}

QString LongTime(const QTime& time, const QLocale& locale) {
    if (usesUserSettings(locale))
        return locale.toString(time, QLocale::LongFormat);
    if (!isNumericDate(locale.dateFormat(QLocale::ShortFormat)))
        return time.toString(QStringLiteral("HH:mm:ss"));
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}
