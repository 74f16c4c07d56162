#include "settings/reg_file.h"

#include <QStringDecoder>

#include <algorithm>
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
// the closing quote. Empty when the quote is not closed. A text without escapes is taken
// in one piece.
std::optional<QString> readQuoted(QStringView text, qsizetype& pos) {
    const qsizetype start = ++pos;
    for (; pos < text.size() && text[pos] != u'\\'; ++pos) {
        if (text[pos] == u'"') {
            ++pos;
            return text.sliced(start, pos - 1 - start).toString();
        }
    }
    QString out = text.sliced(start, pos - start).toString();
    for (; pos < text.size(); ++pos) {
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

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// "xx,xx,..." read piece by piece (a value's parts on its continuation lines) into `bytes`.
// Spaces and tabs between count for nothing. regedit writes two digits per byte and no
// trailing comma, so an empty item means the data was cut off, and so does a single digit
// where the data may have been cut (twoDigits(); a hand-edited line in the middle of the
// file may have one).
class HexList {
public:
    explicit HexList(QByteArray& bytes) : bytes_(bytes) { bytes_.resize(0); }

    void feed(QStringView piece) {
        for (const QChar c : piece) {
            if (c == u' ' || c == u'\t')
                continue;
            any_ = true;
            if (c == u',') {
                endItem();
                continue;
            }
            const int digit = hexDigit(c);
            if (digit < 0 || digits_ == 2) {
                ok_ = false;
                continue;
            }
            byte_ = byte_ << 4 | digit;
            ++digits_;
        }
    }
    // Whether the list could be read; an empty one can.
    bool finish() {
        if (any_)
            endItem();
        return ok_;
    }
    bool twoDigits() const { return twoDigits_; }
    // Whether UTF-16LE bytes hold their terminating NUL (the text ends there).
    bool hasTerminator() const { return terminator_; }

private:
    void endItem() {
        if (digits_ == 0)
            ok_ = false;
        else if (digits_ != 2)
            twoDigits_ = false;
        if (bytes_.size() % 2 == 1 && bytes_.back() == '\0' && byte_ == 0)
            terminator_ = true;
        bytes_.append(char(byte_));
        byte_ = 0;
        digits_ = 0;
    }

    QByteArray& bytes_;
    int byte_ = 0;
    int digits_ = 0;
    bool any_ = false;
    bool ok_ = true;
    bool twoDigits_ = true;
    bool terminator_ = false;
};

enum class HexKind { Invalid, String, ExpandString, Dword, Qword, Other };

HexKind hexKindOf(QStringView kind) {
    const auto is = [&](QStringView name) { return kind.compare(name, Qt::CaseInsensitive) == 0; };
    if (is(u"hex(1)"))
        return HexKind::String;
    if (is(u"hex(2)"))
        return HexKind::ExpandString;
    if (is(u"hex(4)"))
        return HexKind::Dword;
    if (is(u"hex(b)"))
        return HexKind::Qword;
    if (is(u"hex") || (kind.startsWith(u"hex(", Qt::CaseInsensitive) && kind.endsWith(u')')))
        return HexKind::Other;
    return HexKind::Invalid;
}

// For a value on a last line without a line break: whether it can be told from a value
// that was cut off there. A quoted text has its closing quote; regedit writes a dword with
// all eight digits, and a text in hex with its NUL; binary data of any other length could
// always have been longer.
bool completeAtEnd(QStringView data) {
    if (data.startsWith(u'"') || data == u"-")
        return true;
    if (data.startsWith(u"dword:", Qt::CaseInsensitive))
        return data.sliced(6).trimmed().size() == 8;
    return false;
}

bool completeAtEnd(HexKind kind, const HexList& list, const QByteArray& bytes) {
    if (!list.twoDigits())
        return false;
    switch (kind) {
    case HexKind::String:
    case HexKind::ExpandString:
        return list.hasTerminator();
    case HexKind::Dword:
        return bytes.size() == 4;
    case HexKind::Qword:
        return bytes.size() == 8;
    case HexKind::Other:
    case HexKind::Invalid:
        break;
    }
    return false;
}

// UTF-16LE bytes of a string value, up to its first NUL.
QString stringFromBytes(QByteArrayView bytes) {
    bool odd = false;
    QString text = decodeUtf16Le(bytes, odd);
    if (const qsizetype nul = text.indexOf(QChar(u'\0')); nul >= 0)
        text.truncate(nul);
    return text;
}

// A quoted string or a dword: the data after "=" when it is no hex data.
bool parseScalar(QStringView data, RegValue& value) {
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        auto text = readQuoted(data, pos);
        if (!text || !data.sliced(pos).trimmed().isEmpty())
            return false;
        value.type = StoredValue::Type::String;
        value.text = std::move(*text);
        return true;
    }
    if (!data.startsWith(u"dword:", Qt::CaseInsensitive))
        return false;
    const QStringView digits = data.sliced(6).trimmed();
    bool ok = false;
    value.dword = digits.toUInt(&ok, 16);
    if (!ok || digits.size() > 8 || digits.startsWith(u'+') || digits.startsWith(u'-'))
        return false;
    value.type = StoredValue::Type::Dword;
    return true;
}

// Hex data of a value of the key: `bytes` as read, `data` as it stood (kept for the types
// the program does not read).
bool parseHex(HexKind kind, const QByteArray& bytes, const QString& data, RegValue& value) {
    switch (kind) {
    case HexKind::String:
    case HexKind::ExpandString:
        if (bytes.size() % 2 != 0)
            return false; // UTF-16 cut in the middle of a character
        value.type =
            kind == HexKind::String ? StoredValue::Type::String : StoredValue::Type::ExpandString;
        value.text = stringFromBytes(bytes);
        return true;
    case HexKind::Dword:
        if (bytes.size() == 4) {
            value.type = StoredValue::Type::Dword;
            value.dword = quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 |
                          quint32(quint8(bytes[2])) << 16 | quint32(quint8(bytes[3])) << 24;
            return true;
        }
        break;
    case HexKind::Qword:
    case HexKind::Other:
        break;
    case HexKind::Invalid:
        return false;
    }
    value.type = StoredValue::Type::Other;
    value.data = data;
    return true;
}

// One line of the text without its line break, numbered from 1; `open` when no line break
// follows it (the last line of a file that does not end with one).
struct Line {
    QStringView text;
    qsizetype number = 0;
    bool open = false;
};

// One pass over the text; lines and values are views into it until a value is kept.
class Parser {
public:
    explicit Parser(QStringView text) : text_(text) {}

    RegDocument run() {
        bool header = false;
        Line line;
        while (nextLine(line)) {
            const QStringView content = line.text.trimmed();
            if (content.isEmpty() || content.startsWith(u';'))
                continue;
            if (!header) {
                header = true;
                if (content == kHeader5 || content == kHeader4)
                    continue;
                // Not a registry export: read what can be read.
                doc_.damaged = doc_.damage.noHeader = true;
            }
            if (content.startsWith(u'['))
                section(content, line);
            else
                valueLine(content, line);
        }
        if (!header)
            doc_.damaged = doc_.damage.empty = true;
        return std::move(doc_);
    }

private:
    enum class Section { None, Key, Other };

    bool nextLine(Line& line) {
        if (pos_ >= text_.size())
            return false;
        qsizetype end = text_.indexOf(u'\n', pos_);
        line.open = end < 0;
        if (line.open)
            end = text_.size();
        line.text = text_.sliced(pos_, end - pos_);
        if (line.text.endsWith(u'\r'))
            line.text.chop(1);
        line.number = ++lineNumber_;
        pos_ = end + 1;
        return true;
    }

    void section(QStringView text, const Line& line) {
        if (!text.endsWith(u']')) {
            section_ = Section::None; // the values after it belong to no known key
            return bad(line, text);
        }
        const QStringView path = text.sliced(1, text.size() - 2).trimmed();
        section_ = path.compare(QStringView(kRegKeyPath), Qt::CaseInsensitive) == 0
                       ? Section::Key
                       : Section::Other;
        if (section_ == Section::Other)
            doc_.otherSections << text.toString();
    }

    void valueLine(QStringView text, const Line& first) {
        QString name;
        qsizetype pos = 0;
        if (text.startsWith(u'@')) {
            pos = 1; // the key's default value, kept under the empty name
        } else if (text.startsWith(u'"')) {
            auto quotedName = readQuoted(text, pos);
            if (!quotedName)
                return bad(first, text);
            name = std::move(*quotedName);
        } else {
            return bad(first, text);
        }
        // A line of the key that names a value but gives none leaves that value missing.
        const auto fail = [&] {
            if (section_ == Section::Key)
                doc_.remove(name);
            bad(first, text);
        };
        const qsizetype equals = text.indexOf(u'=', pos);
        if (equals < 0 || !text.sliced(pos, equals - pos).trimmed().isEmpty())
            return fail();
        const QStringView head = text.first(equals + 1);
        const QStringView data = text.sliced(equals + 1).trimmed();
        RegValue value;
        if (data.startsWith(u"hex", Qt::CaseInsensitive)) {
            if (!hexValue(head, data, first, value))
                return fail();
        } else if (first.open && !completeAtEnd(data)) {
            return fail(); // the file ends inside this value
        } else if (section_ == Section::Other) {
            doc_.otherSections << head.toString().append(data);
        } else if (section_ == Section::Key && data == u"-") {
            doc_.remove(name);
            return;
        } else if (section_ == Section::Key && !parseScalar(data, value)) {
            return fail();
        }
        if (section_ == Section::None)
            return bad(first, text);
        if (section_ != Section::Key)
            return; // a line of another key, kept as it was
        value.name = name;
        if (!doc_.set(value))
            return fail(); // a NUL in a quoted name or text
    }

    // Hex data over its continuation lines ("...,\" then "  xx,..."). A line of another key
    // goes to otherSections as one line; a value of the key comes back in `value`.
    bool hexValue(QStringView head, QStringView data, const Line& first, RegValue& value) {
        const qsizetype colon = data.indexOf(u':');
        const HexKind kind = colon < 0 ? HexKind::Invalid : hexKindOf(data.first(colon));
        const bool keepData = section_ == Section::Other ||
                              (kind != HexKind::String && kind != HexKind::ExpandString);
        QString joined;
        HexList list(bytes_);
        QStringView segment = data;
        Line last = first;
        for (bool firstSegment = true;; firstSegment = false) {
            const bool goesOn = segment.endsWith(u'\\');
            if (goesOn)
                segment.chop(1);
            if (keepData)
                joined += segment;
            if (!firstSegment)
                list.feed(segment);
            else if (colon >= 0)
                list.feed(segment.sliced(std::min(colon + 1, segment.size())));
            if (!goesOn)
                break;
            if (!nextLine(last))
                return false; // the file ends inside the value
            segment = last.text.trimmed();
            if (segment.isEmpty())
                return false; // cut off after a continuation mark
        }
        const bool readable = list.finish() && kind != HexKind::Invalid;
        if (last.open && !(readable && completeAtEnd(kind, list, bytes_)))
            return false; // the file ends inside this value
        if (section_ == Section::Other) {
            doc_.otherSections << head.toString() + joined;
            return true;
        }
        return section_ != Section::Key || (readable && parseHex(kind, bytes_, joined, value));
    }

    void bad(const Line& line, QStringView text) {
        doc_.damaged = true;
        ++doc_.damage.lines;
        if (doc_.damage.line == 0) {
            doc_.damage.line = line.number;
            doc_.damage.text = text.left(RegDamage::kKeptLength).toString();
        }
    }

    QStringView text_;
    qsizetype pos_ = 0;
    qsizetype lineNumber_ = 0;
    Section section_ = Section::None;
    QByteArray bytes_; // the hex data of the value being read; its room serves the next
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
    bool cutCharacter = false;
    const QString text = decodeText(bytes, cutCharacter);
    RegDocument document = Parser(text).run();
    if (cutCharacter)
        document.damaged = document.damage.cutCharacter = true;
    return document;
}

QString FormatHexValue(const QString& quotedName, const QString& hexType, const QByteArray& bytes) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    QString line = quotedName + u'=' + hexType + u':';
    line.reserve(line.size() + bytes.size() * 4);
    qsizetype lineLength = line.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 byte = quint8(bytes[i]);
        line += QChar(kDigits[byte >> 4]);
        line += QChar(kDigits[byte & 0xF]);
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
