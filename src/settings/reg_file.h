#pragma once

#include "settings/settings_store.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text of a Windows registry export (.reg) holding the key
// HKEY_CURRENT_USER\Velcor_Monidesk, as regedit writes and reads it.

inline constexpr char16_t kRegKeyPath[] = u"HKEY_CURRENT_USER\\Velcor_Monidesk";

struct RegValue {
    QString name;
    StoredValue::Type type = StoredValue::Type::Missing;
    QString text;      // String, ExpandString
    quint32 dword = 0; // Dword
    QString data;      // Other: the data as it stood after "=", written back unchanged
};

struct RegDocument {
    QList<RegValue> values;    // the key's values in file order
    QStringList otherSections; // other keys, as logical lines, written back as they were
    bool damaged = false;      // some part could not be read (it is left out)

    // Value names compare without regard to case, as in the registry.
    const RegValue* find(const QString& name) const;
    void set(const RegValue& value); // replaces a value of the same name, else appends
};

// Reads UTF-16LE (with or without BOM) or UTF-8 text, CR LF or LF, "\" continuation lines;
// whatever cannot be read is left out and marks the document damaged.
RegDocument ParseRegFile(const QByteArray& bytes);

// Writes what regedit writes: UTF-16LE with BOM, CR LF, expandable strings as hex(2)
// wrapped at regedit's line width.
QByteArray FormatRegFile(const RegDocument& document);

// One "name"=hex(n):... value with regedit's line continuation; the bytes as given.
QString FormatHexValue(const QString& quotedName, const QString& hexType, const QByteArray& bytes);
