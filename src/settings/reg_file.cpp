#include "settings/reg_file.h"

#include <QStringDecoder>

#include <optional>

namespace {

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kCrLf = QStringLiteral("\r\n");

// regedit ends a hex line with "\" once it has reached this many characters and goes
// on in the next line after two spaces.
constexpr int kHexLineWidth = 77;

QString keyPath() {
    return QString::fromUtf16(kRegKeyPath);
}

// The file's byte order mark is taken off before decoding; one that follows it belongs to
// the text (a value may begin with U+FEFF).
constexpr auto kDecoderFlags =
    QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;

QString decodeUtf16Le(QByteArrayView bytes, bool& damaged) {
    if (bytes.size() % 2 != 0) {
        damaged = true; // cut in the middle of a character
        bytes.chop(1);
    }
    QStringDecoder decoder(QStringConverter::Utf16LE, kDecoderFlags);
    return decoder.decode(bytes);
}

// regedit 5 writes UTF-16LE with a BOM; files written by hand or by other tools are
// UTF-8 (with or without BOM), and REGEDIT4 files are 8-bit ANSI.
QString decodeText(const QByteArray& bytes, bool& damaged) {
    if (bytes.startsWith("\xFF\xFE"))
        return decodeUtf16Le(QByteArrayView(bytes).sliced(2), damaged);
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0')
        return decodeUtf16Le(bytes, damaged);
    QByteArrayView utf8 = bytes;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        utf8 = utf8.sliced(3);
    QStringDecoder decoder(QStringConverter::Utf8, kDecoderFlags);
    QString text = decoder.decode(utf8);
    if (!decoder.hasError())
        return text;
    return QString::fromLatin1(utf8);
}

// Reads a quoted text starting at text[pos] == '"' with regedit's escapes; pos ends behind
// the closing quote. Empty when the quote is not closed.
std::optional<QString> readQuoted(const QString& text, qsizetype& pos) {
    QString out;
    for (++pos; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\' && pos + 1 < text.size()) {
            const QChar next = text[++pos];
            out += next == u'n' ? QChar(u'\n') : next;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

// Quotes with the escapes readQuoted() reads: a line break (possible in a name only; a
// text with one is written in hex) as "\n", so the value stays on its line.
QString quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'\n') {
            out += QStringLiteral("\\n");
            continue;
        }
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

// "xx,xx,...": regedit writes two digits per byte and no trailing comma, so an empty item
// means the data was cut off, and so does a single digit where the data may have been cut
// (`twoDigits`; a hand-edited line in the middle of the file may have one).
std::optional<QByteArray> parseHexBytes(const QString& data, bool twoDigits) {
    QByteArray bytes;
    const QString list = QString(data).remove(u' ').remove(u'\t');
    if (list.isEmpty())
        return bytes;
    for (const QString& item : list.split(u',')) {
        bool ok = false;
        const uint byte = item.toUInt(&ok, 16);
        if (!ok || item.isEmpty() || item.size() > 2 || (twoDigits && item.size() != 2))
            return std::nullopt;
        bytes += char(byte);
    }
    return bytes;
}

// Whether UTF-16LE bytes hold their terminating NUL (the text ends there).
bool hasTerminator(const QByteArray& bytes) {
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == '\0' && bytes[i + 1] == '\0')
            return true;
    return false;
}

// For a value on a last line without a line break: whether it can be told from a value
// that was cut off there. A quoted text has its closing quote; regedit writes a dword with
// all eight digits, and a text in hex with its NUL; binary data of any other length could
// always have been longer.
bool completeAtEnd(const QString& data) {
    if (data.startsWith(u'"') || data == u"-")
        return true;
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive))
        return data.mid(6).trimmed().size() == 8;
    const qsizetype colon = data.indexOf(u':');
    if (colon < 0)
        return false;
    const QString kind = data.left(colon).toLower();
    const auto bytes = parseHexBytes(data.mid(colon + 1), true);
    if (!bytes)
        return false;
    if (kind == u"hex(1)" || kind == u"hex(2)")
        return hasTerminator(*bytes);
    return (kind == u"hex(4)" && bytes->size() == 4) || (kind == u"hex(b)" && bytes->size() == 8);
}

// UTF-16LE bytes of a string value, up to its first NUL.
QString stringFromBytes(QByteArray bytes) {
    bool odd = false;
    QString text = decodeUtf16Le(bytes, odd);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

// The data after "=": a quoted string, dword:, hex: or hex(n):. Empty when unreadable.
std::optional<RegValue> parseData(const QString& data) {
    RegValue value;
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        auto text = readQuoted(data, pos);
        if (!text || !data.mid(pos).trimmed().isEmpty())
            return std::nullopt;
        value.type = StoredValue::Type::String;
        value.text = *text;
        return value;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        value.dword = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return std::nullopt;
        value.type = StoredValue::Type::Dword;
        return value;
    }
    if (!data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype colon = data.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QString kind = data.left(colon).toLower();
    const auto bytes = parseHexBytes(data.mid(colon + 1), false);
    if (!bytes)
        return std::nullopt;
    if (kind == u"hex(1)" || kind == u"hex(2)") {
        if (bytes->size() % 2 != 0)
            return std::nullopt; // UTF-16 cut in the middle of a character
        value.type =
            kind == u"hex(1)" ? StoredValue::Type::String : StoredValue::Type::ExpandString;
        value.text = stringFromBytes(*bytes);
    } else if (kind == u"hex(4)" && bytes->size() == 4) {
        value.type = StoredValue::Type::Dword;
        value.dword = quint32(quint8((*bytes)[0])) | quint32(quint8((*bytes)[1])) << 8 |
                      quint32(quint8((*bytes)[2])) << 16 | quint32(quint8((*bytes)[3])) << 24;
    } else if (kind == u"hex" || (kind.startsWith(u"hex(") && kind.endsWith(u')'))) {
        value.type = StoredValue::Type::Other;
        value.data = data;
    } else {
        return std::nullopt;
    }
    return value;
}

class Parser {
public:
    explicit Parser(const QString& text) : lines_(text.split(u'\n')) {
        // Every line regedit writes ends with a line break; a hand-edited file may end
        // without one. Such a last line may also have been cut off: its value is checked
        // to be complete (valueLine).
        openEnd_ = !lines_.last().trimmed().isEmpty();
        if (!openEnd_)
            lines_.removeLast();
        for (QString& line : lines_)
            if (line.endsWith(u'\r'))
                line.chop(1);
    }

    RegDocument run() {
        bool header = false;
        for (next_ = 0; next_ < lines_.size();) {
            const QString line = lines_[next_++].trimmed();
            if (line.isEmpty() || line.startsWith(u';'))
                continue;
            if (!header) {
                header = true;
                if (line == kHeader5 || line == kHeader4)
                    continue;
                doc_.damaged = true; // not a registry export: read what can be read
            }
            if (line.startsWith(u'['))
                section(line);
            else
                valueLine(line);
        }
        if (!header)
            doc_.damaged = true; // empty file
        return doc_;
    }

private:
    enum class Section { None, Key, Other };

    void section(const QString& line) {
        if (!line.endsWith(u']')) {
            doc_.damaged = true;
            section_ = Section::None;
            return;
        }
        const QString path = line.mid(1, line.size() - 2).trimmed();
        section_ =
            path.compare(keyPath(), Qt::CaseInsensitive) == 0 ? Section::Key : Section::Other;
        if (section_ == Section::Other)
            doc_.otherSections << line;
    }

    // Joins the continuation lines of hex data ("...,\" then "  xx,...").
    std::optional<QString> joinContinuation(QString data) {
        while (data.endsWith(u'\\')) {
            data.chop(1);
            if (next_ >= lines_.size())
                return std::nullopt; // the file ends inside the value
            const QString more = lines_[next_++].trimmed();
            if (more.isEmpty())
                return std::nullopt; // cut off after a continuation mark
            data += more;
        }
        return data;
    }

    void valueLine(const QString& line) {
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1; // the key's default value, kept under the empty name
        } else if (line.startsWith(u'"')) {
            auto quotedName = readQuoted(line, pos);
            if (!quotedName)
                return damage();
            name = *quotedName;
        } else {
            return damage();
        }
        const qsizetype equals = line.indexOf(u'=', pos);
        if (equals < 0 || !line.mid(pos, equals - pos).trimmed().isEmpty())
            return damage();
        QString data = line.mid(equals + 1).trimmed();
        if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            auto joined = joinContinuation(data);
            if (!joined)
                return damage();
            data = *joined;
        }
        if (openEnd_ && next_ == lines_.size() && !completeAtEnd(data))
            return damage(); // the file ends inside this value
        if (section_ == Section::Other) {
            doc_.otherSections << line.left(equals + 1) + data;
            return;
        }
        if (section_ != Section::Key)
            return damage();
        if (data == u"-") {
            doc_.remove(name);
            return;
        }
        auto value = parseData(data);
        if (!value)
            return damage();
        value->name = name;
        if (!doc_.set(*value))
            return damage(); // a NUL in a quoted name or text
    }

    void damage() { doc_.damaged = true; }

    QStringList lines_;
    bool openEnd_ = false; // the last line has no line break
    qsizetype next_ = 0;
    Section section_ = Section::None;
    RegDocument doc_;
};

QByteArray utf16Bytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    bytes += QByteArray(2, '\0'); // regedit keeps the terminating NUL
    return bytes;
}

QString formatValue(const RegValue& value) {
    const QString name = value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name);
    switch (value.type) {
    case StoredValue::Type::String:
        // regedit has no escape for line breaks in a text: such a text goes as REG_SZ in hex.
        if (value.text.contains(u'\n') || value.text.contains(u'\r'))
            return FormatHexValue(name, QStringLiteral("hex(1)"), utf16Bytes(value.text));
        return name + u'=' + quoted(value.text);
    case StoredValue::Type::ExpandString:
        return FormatHexValue(name, QStringLiteral("hex(2)"), utf16Bytes(value.text));
    case StoredValue::Type::Dword:
        return name + QStringLiteral("=dword:%1").arg(uint(value.dword), 8, 16, QChar(u'0'));
    case StoredValue::Type::Other:
        return name + u'=' + value.data;
    case StoredValue::Type::Missing:
        break;
    }
    return {};
}

// Value names compare without regard to case: the index holds them case-folded.
QString indexKey(const QString& name) {
    return name.toCaseFolded();
}

} // namespace

bool IsStorableRegText(const QString& text) {
    return !text.contains(QChar(u'\0')) && text.isValidUtf16();
}

const QList<RegValue>& RegDocument::values() const {
    if (removed_ > 0)
        compact();
    return values_;
}

void RegDocument::compact() const {
    values_.removeIf([](const RegValue& v) { return v.type == StoredValue::Type::Missing; });
    index_.clear();
    for (qsizetype i = 0; i < values_.size(); ++i)
        index_.insert(indexKey(values_[i].name), i);
    removed_ = 0;
}

const RegValue* RegDocument::find(const QString& name) const {
    const auto it = index_.constFind(indexKey(name));
    return it == index_.constEnd() ? nullptr : &values_[*it];
}

bool RegDocument::set(const RegValue& value) {
    const bool isText =
        value.type == StoredValue::Type::String || value.type == StoredValue::Type::ExpandString;
    if (value.type == StoredValue::Type::Missing || !IsStorableRegText(value.name) ||
        (isText && !IsStorableRegText(value.text)))
        return false;
    const QString key = indexKey(value.name);
    const auto it = index_.constFind(key);
    if (it != index_.constEnd()) {
        values_[*it] = value;
    } else {
        index_.insert(key, values_.size());
        values_ << value;
    }
    return true;
}

void RegDocument::remove(const QString& name) {
    const auto it = index_.constFind(indexKey(name));
    if (it == index_.constEnd())
        return;
    values_[*it] = RegValue{};
    index_.erase(it);
    ++removed_;
}

RegDocument ParseRegFile(const QByteArray& bytes) {
    bool damaged = false;
    const QString text = decodeText(bytes, damaged);
    RegDocument document = Parser(text).run();
    document.damaged = document.damaged || damaged;
    return document;
}

QString FormatHexValue(const QString& quotedName, const QString& hexType, const QByteArray& bytes) {
    QString line = quotedName + u'=' + hexType + u':';
    qsizetype lineLength = line.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        line += QStringLiteral("%1").arg(uint(quint8(bytes[i])), 2, 16, QChar(u'0'));
        if (i == bytes.size() - 1)
            break;
        line += u',';
        lineLength += 3;
        if (lineLength >= kHexLineWidth) {
            line += QStringLiteral("\\\r\n  ");
            lineLength = 2;
        }
    }
    return line;
}

QByteArray FormatRegFile(const RegDocument& document) {
    QString text = kHeader5 + kCrLf + kCrLf + u'[' + keyPath() + u']' + kCrLf;
    for (const RegValue& value : document.values())
        if (value.type != StoredValue::Type::Missing)
            text += formatValue(value) + kCrLf;
    text += kCrLf;
    for (qsizetype i = 0; i < document.otherSections.size(); ++i) {
        const QString& line = document.otherSections[i];
        if (i > 0 && line.startsWith(u'['))
            text += kCrLf;
        text += line + kCrLf;
    }
    if (!document.otherSections.isEmpty())
        text += kCrLf;

    QByteArray bytes("\xFF\xFE", 2);
    bytes.reserve(bytes.size() + text.size() * 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}
