#pragma once

// Shows Qt strings as text in GoogleTest's failure messages instead of as raw bytes.

#include <QByteArray>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    if (bytes.size() > 200)
        *out << bytes.size() << " bytes: ";
    *out << '"' << bytes.left(200).toStdString() << (bytes.size() > 200 ? "...\"" : "\"");
}
