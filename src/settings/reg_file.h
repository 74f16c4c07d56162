#pragma once

#include "settings/settings_store.h"

#include <QByteArray>
#include <QHash>
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

// What of a file could not be read, for the user.
struct RegDamage {
    qsizetype line = 0;        // the first line that could not be read (from 1); 0: none
    QString text;              // that line as it stands (at most kKeptLength characters)
    qsizetype lines = 0;       // how many lines (or values over continuation lines) failed
    bool noHeader = false;     // the file does not begin as a registry export does
    bool empty = false;        // nothing in it but blank lines and comments
    bool cutCharacter = false; // it ends in the middle of a UTF-16 character

    static constexpr qsizetype kKeptLength = 200;
};

class RegDocument {
public:
    QStringList otherSections; // other keys, as logical lines, written back as they were
    bool damaged = false;      // some part could not be read (it is left out)
    RegDamage damage;          // what, when damaged

    // The key's values in file order.
    const QList<RegValue>& values() const;
    // Value names compare without regard to case, as in the registry; a lookup is one
    // step, however many values the key holds.
    const RegValue* find(const QString& name) const;
    // Replaces a value of the same name, else appends. Refuses (false, nothing changes) a
    // value the file cannot give back as it is: a NUL in its name or text (every reader of
    // the registry ends a text there) or a text that is not valid UTF-16.
    bool set(const RegValue& value);
    void remove(const QString& name);

private:
    void compact() const;

    // Removed values stay as Missing until values() is asked for, so a file of many
    // removals is read in one pass.
    mutable QList<RegValue> values_;
    mutable QHash<QString, qsizetype> index_; // case-folded name -> position in values_
    mutable qsizetype removed_ = 0;
};

// Whether a text can be stored as a name or string value (see RegDocument::set).
bool IsStorableRegText(const QString& text);

// Reads UTF-16LE (with or without BOM) or UTF-8 text, CR LF or LF, "\" continuation lines;
// whatever cannot be read is left out and marks the document damaged. A line of the key that
// cannot be read counts as a missing value: it removes an earlier value of its name, and the
// values before and after it stay. A last line without a line break counts when it is a
// complete value; one cut off inside a value does not. One pass over the text, without an
// allocation per line or per hex item.
RegDocument ParseRegFile(const QByteArray& bytes);

// Writes what regedit writes: UTF-16LE with BOM, CR LF, expandable strings as hex(2)
// wrapped at regedit's line width. ParseRegFile gives back every value as it was.
QByteArray FormatRegFile(const RegDocument& document);

// One "name"=hex(n):... value with regedit's line continuation; the bytes as given.
QString FormatHexValue(const QString& quotedName, const QString& hexType, const QByteArray& bytes);
