#include "settings/reg_file.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace {

using Type = StoredValue::Type;

QByteArray utf16WithBom(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

QString decodeWritten(const QByteArray& bytes) {
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE"));
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

// As regedit exports a key: other keys around it, a long REG_EXPAND_SZ wrapped over
// three lines, binary and multi-string values, the default value, CR LF throughout.
const char16_t kRegeditExport[] =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
    u"\"Keep\"=\"me\"\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n"
    u"@=\"\"\r\n"
    u"\"TLOG_PATH\"=hex(2):43,00,3a,00,5c,00,4d,00,65,00,73,00,73,00,77,00,65,00,72,00,\\\r\n"
    u"  74,00,65,00,5c,00,4b,00,fc,00,68,00,6c,00,68,00,61,00,75,00,73,00,5c,00,54,\\\r\n"
    u"  00,65,00,6d,00,70,00,2e,00,6c,00,6f,00,67,00,00,00\r\n"
    u"\"TNAME1\"=\"K\u00fcche \\\"Nord\\\" \\\\ 1\"\r\n"
    u"\"TERM_ADR\"=dword:00000011\r\n"
    u"\"GL_COM\"=dword:ffffffff\r\n"
    u"\"Blob\"=hex:01,02,03\r\n"
    u"\"Multi\"=hex(7):41,00,00,00,42,00,00,00,00,00\r\n"
    u"\"TNAME2\"=hex(1):41,00,0a,00,42,00,00,00\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Velcor_Monidesk\\Sub]\r\n"
    u"\"X\"=dword:00000001\r\n"
    u"\r\n";

} // namespace

TEST(RegFile, ReadsARegeditExport) {
    const RegDocument doc = ParseRegFile(utf16WithBom(QString::fromUtf16(kRegeditExport)));
    EXPECT_FALSE(doc.damaged);
    ASSERT_NE(doc.find("tlog_path"), nullptr);
    EXPECT_EQ(doc.find("TLOG_PATH")->type, Type::ExpandString);
    EXPECT_EQ(doc.find("TLOG_PATH")->text,
              QString::fromUtf16(u"C:\\Messwerte\\K\u00fchlhaus\\Temp.log"));
    EXPECT_EQ(doc.find("TNAME1")->text, QString::fromUtf16(u"K\u00fcche \"Nord\" \\ 1"));
    EXPECT_EQ(doc.find("TNAME2")->type, Type::String);
    EXPECT_EQ(doc.find("TNAME2")->text, "A\nB");
    EXPECT_EQ(doc.find("TERM_ADR")->dword, 17u);
    EXPECT_EQ(doc.find("GL_COM")->dword, 0xFFFFFFFFu);
    EXPECT_EQ(doc.find("Blob")->type, Type::Other);
    EXPECT_EQ(doc.find("Multi")->type, Type::Other);
    EXPECT_EQ(doc.find("Keep"), nullptr);
    EXPECT_EQ(doc.find("X"), nullptr);
    EXPECT_EQ(doc.values().size(), 8); // with the default value "@"
}

// What we write is what regedit writes, so the export above comes out again as it was
// (apart from the key order: ours first, the others after it).
TEST(RegFile, WritesWhatRegeditWrites) {
    const RegDocument doc = ParseRegFile(utf16WithBom(QString::fromUtf16(kRegeditExport)));
    const QString written = decodeWritten(FormatRegFile(doc));
    const QString original = QString::fromUtf16(kRegeditExport);
    const qsizetype ours = original.indexOf("[HKEY_CURRENT_USER\\Velcor_Monidesk]");
    const qsizetype sub = original.indexOf("[HKEY_CURRENT_USER\\Velcor_Monidesk\\Sub]");
    const QString key = original.mid(ours, sub - ours);
    EXPECT_TRUE(written.startsWith("Windows Registry Editor Version 5.00\r\n\r\n" + key))
        << written.toStdString();
    EXPECT_TRUE(written.contains("[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Keep\"=\"me\"\r\n"));
    EXPECT_TRUE(written.endsWith("\r\n\r\n[HKEY_CURRENT_USER\\Velcor_Monidesk\\Sub]\r\n"
                                 "\"X\"=dword:00000001\r\n\r\n"));
    EXPECT_EQ(ParseRegFile(FormatRegFile(doc)).values().size(), doc.values().size());
}

TEST(RegFile, LongHexValuesWrapAtRegeditsWidth) {
    const QString line = FormatHexValue("\"V\"", "hex", QByteArray(98, '\x5a'));
    const QStringList lines = line.split("\r\n");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].size(), 78); // "V"=hex: then 23 bytes, then the "\"
    for (qsizetype i = 1; i < lines.size() - 1; ++i) {
        EXPECT_TRUE(lines[i].startsWith("  5a,")) << i;
        EXPECT_EQ(lines[i].size(), 78) << i; // two spaces, 25 bytes and the "\"
    }
    EXPECT_TRUE(lines.last().endsWith("5a"));
}

TEST(RegFile, ReadsUtf8WithLfAndNoBom) {
    const QByteArray text = "Windows Registry Editor Version 5.00\n\n"
                            "[HKEY_CURRENT_USER\\Velcor_Monidesk]\n"
                            "\"TNAME5\"=\"Au\xC3\x9F"
                            "en\"\n"
                            "\"LEV_ADR\"=dword:0000000a\n";
    const RegDocument doc = ParseRegFile(text);
    EXPECT_FALSE(doc.damaged);
    EXPECT_EQ(doc.find("TNAME5")->text, QString::fromUtf16(u"Au\u00dfen"));
    EXPECT_EQ(doc.find("LEV_ADR")->dword, 10u);
}

TEST(RegFile, UnreadableLinesAreLeftOutAndMarkTheFileDamaged) {
    const char* cases[] = {
        "garbage\r\n",
        "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n\"TERM_ADR\"=dword:11\r\n", // no header
        "[HKEY_CURRENT_USER\\Velcor_Monidesk\r\n",
        "\"TNAME1\"=\"unterminated\r\n",
        "\"TNAME1\"=dword:xyz\r\n",
        "\"TNAME1\"=dword:123456789\r\n",
        "\"TNAME1\"=hex(2):41,00,4\r\n",
        "\"TNAME1\"=hex(2):41,00,\r\n",
        "\"TNAME1\"=hex(2):41,00,\\\r\n\r\n",
        "\"TNAME1\"=something\r\n",
        "\"TNAME1\" \"TNAME1\"\r\n",
    };
    for (const char* bad : cases) {
        QByteArray text = "Windows Registry Editor Version 5.00\r\n\r\n"
                          "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n"
                          "\"TERM_ADR\"=dword:00000011\r\n";
        if (QByteArray(bad).startsWith("[HKEY_CURRENT_USER\\Velcor_Monidesk]"))
            text = bad;
        else
            text += bad;
        const RegDocument doc = ParseRegFile(text);
        EXPECT_TRUE(doc.damaged) << bad;
        EXPECT_EQ(doc.find("TNAME1"), nullptr) << bad;
        ASSERT_NE(doc.find("TERM_ADR"), nullptr) << bad;
        EXPECT_EQ(doc.find("TERM_ADR")->dword, 17u) << bad;
    }
    EXPECT_TRUE(ParseRegFile({}).damaged);
    EXPECT_TRUE(ParseRegFile(QByteArray("\x00\x01\xFE\x80\x7F", 5)).damaged);
}

// Cut anywhere, a file never yields a wrong value: each value reads as it was written or
// is missing, and a cut inside a line marks the file damaged. A cut at the end of a line
// (before its line break) leaves a complete line, read as such.
TEST(RegFile, TruncatedFileGivesOnlyCompleteValues) {
    RegDocument full;
    const auto add = [&](const char* name, Type type, const QString& text, quint32 dword) {
        RegValue value;
        value.name = name;
        value.type = type;
        value.text = text;
        value.dword = dword;
        full.set(value);
    };
    add("TLOG_PATH", Type::ExpandString,
        QString::fromUtf16(u"/home/anna/Messwerte/K\u00fchlhaus/t.log"), 0);
    add("TNAME1", Type::String, "Nord \"A\"", 0);
    add("TNAME2", Type::String, "Zeile\nzwei", 0);
    add("TERM_ADR", Type::Dword, {}, 0x12345678);
    add("GL_COM", Type::Dword, {}, 2);
    const QByteArray bytes = FormatRegFile(full);
    const QString all = decodeWritten(bytes);
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        const RegDocument doc = ParseRegFile(bytes.left(cut));
        bool lineComplete = false;
        if (cut > 2 && cut % 2 == 0) {
            const qsizetype at = (cut - 2) / 2;
            const auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
            const bool atBreak = at == all.size() || isBreak(all[at]) || isBreak(all[at - 1]);
            // A line that ends in "\" goes on in the next one.
            const QString last = all.left(at).trimmed();
            lineComplete = atBreak && !last.endsWith(u'\\');
        }
        EXPECT_EQ(doc.damaged, !lineComplete) << cut;
        for (const RegValue& value : doc.values()) {
            const RegValue* original = full.find(value.name);
            ASSERT_NE(original, nullptr) << cut;
            EXPECT_EQ(value.type, original->type) << cut;
            EXPECT_EQ(value.text, original->text) << cut;
            EXPECT_EQ(value.dword, original->dword) << cut;
        }
    }
    EXPECT_EQ(ParseRegFile(bytes).values().size(), 5);
}

namespace {

RegValue textValue(const QString& name, const QString& text, Type type = Type::String) {
    RegValue value;
    value.name = name;
    value.type = type;
    value.text = text;
    return value;
}

void expectSameValues(const RegDocument& read, const RegDocument& written, const QString& what) {
    ASSERT_EQ(read.values().size(), written.values().size()) << what.toStdString();
    for (const RegValue& value : written.values()) {
        const RegValue* back = read.find(value.name);
        ASSERT_NE(back, nullptr) << what.toStdString();
        EXPECT_EQ(back->name, value.name) << what.toStdString();
        EXPECT_EQ(back->type, value.type) << what.toStdString();
        EXPECT_EQ(back->text, value.text) << what.toStdString();
        EXPECT_EQ(back->dword, value.dword) << what.toStdString();
        EXPECT_EQ(back->data, value.data) << what.toStdString();
    }
}

} // namespace

// Whatever the writer accepts comes back from the reader as it was: quotes, backslashes
// and line breaks in names and texts, a byte order mark at the start of a text, texts
// that look like the format's own syntax.
TEST(RegFile, WhatIsWrittenReadsBackUnchanged) {
    const QString bom = QString(QChar(0xFEFF));
    const QString names[] = {"TNAME8",       "",           "@",
                             "zwei\nZeilen", "\"quoted\"", "back\\slash\\",
                             "cr\rin",       "=",          "[HKEY_CURRENT_USER\\Velcor_Monidesk]",
                             bom + "TNAME1", " spaced ",   ";comment"};
    const QString texts[] = {bom + "Nord",
                             bom,
                             "zwei\r\nZeilen",
                             "\n",
                             "ends with \\",
                             "\"",
                             "  both ends  ",
                             "\t",
                             "hex(2):41,00",
                             "dword:00000001",
                             QString::fromUtf16(u"K\u00fche \U0001F600 \u20ac \u2028 \u00a0"),
                             QString(300, QChar(u'x')) + "\n" + QString(300, QChar(u'y'))};
    for (const Type type : {Type::String, Type::ExpandString}) {
        for (const QString& name : names) {
            RegDocument doc;
            for (int i = 0; i < int(std::size(texts)); ++i)
                ASSERT_TRUE(doc.set(textValue(name + QString::number(i), texts[i], type)));
            RegValue number;
            number.name = name;
            number.type = Type::Dword;
            number.dword = 0x80000001u;
            ASSERT_TRUE(doc.set(number));
            const RegDocument read = ParseRegFile(FormatRegFile(doc));
            EXPECT_FALSE(read.damaged) << name.toStdString();
            expectSameValues(read, doc, name);
        }
    }
}

// A NUL ends a text for every reader of the registry, and a lone half of a surrogate pair
// is no text at all: such a value is refused when it is set, not lost on the next load.
TEST(RegFile, RefusesValuesTheFormatCannotCarry) {
    const QString nul = QString(QChar(u'\0'));
    const QString lone = QString(QChar(0xD800));
    const RegValue refused[] = {
        textValue("TNAME1", "A" + nul + "B"),
        textValue("TNAME1", "AB" + nul),
        textValue("TNAME1", nul + "x", Type::ExpandString),
        textValue("TNAME1", "x" + lone),
        textValue("x" + lone, "x"),
        textValue("x" + nul, "x"),
    };
    for (const RegValue& value : refused) {
        RegDocument doc;
        ASSERT_TRUE(doc.set(textValue("TNAME1", "old")));
        EXPECT_FALSE(doc.set(value));
        ASSERT_EQ(doc.values().size(), 1);
        EXPECT_EQ(doc.values().front().text, "old");
    }
}

// A hand-edited file may end without a line break: its last line counts when it is
// complete. A last line cut in the middle of a value is left out and marks the damage.
TEST(RegFile, LastLineWithoutLineBreakCountsWhenComplete) {
    const QByteArray head = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n"
                            "\"GL_COM\"=dword:00000002\r\n";
    const struct {
        const char* lastLine;
        bool complete;
    } cases[] = {
        {"\"TNAME1\"=\"Nord\"", true},
        {"\"TNAME1\"=\"Nord \\\"A\\\"\"   ", true},
        {"\"TNAME1\"=dword:0000002a", true},
        {"\"TNAME1\"=hex(2):4e,00,00,00", true},
        {"\"TNAME1\"=hex(1):4e,00,0a,00,\\\r\n  4e,00,00,00", true},
        {"\"TNAME1\"=hex(4):2a,00,00,00", true},
        {"\"TNAME1\"=-", true},
        {"[HKEY_CURRENT_USER\\Other]", true},
        {"; a comment", true},
        {"\"TNAME1\"=\"Nor", false},
        {"\"TNAME1\"=dword:0000002", false},
        {"\"TNAME1\"=dword:2a", false},
        {"\"TNAME1\"=hex(2):4e,00", false},
        {"\"TNAME1\"=hex(2):4e,00,00,0", false},
        {"\"TNAME1\"=hex(1):4e,00,0a,00,\\\r\n  4e,00", false},
        {"\"TNAME1\"=hex(4):2a,00,00", false},
        {"\"TNAME1\"=hex:01,02", false},
        {"\"TNAME1\"=hex(7):41,00,00,00,00,00", false},
        {"\"TNAME1\"=", false},
        {"\"TNAME1\"", false},
        {"[HKEY_CURRENT_USER\\Velc", false},
    };
    for (const auto& c : cases) {
        for (const char* lineBreak : {"\r\n", "\n"}) {
            QByteArray text = head + c.lastLine;
            text.replace("\r\n", lineBreak);
            const RegDocument doc = ParseRegFile(text);
            EXPECT_EQ(doc.damaged, !c.complete) << c.lastLine;
            ASSERT_NE(doc.find("GL_COM"), nullptr) << c.lastLine;
            const RegValue* last = doc.find("TNAME1");
            if (!c.complete) {
                EXPECT_EQ(last, nullptr) << c.lastLine;
            }
            // A complete last line reads as it would with a line break after it.
            const RegDocument terminated = ParseRegFile(text + lineBreak);
            EXPECT_EQ(last != nullptr, c.complete && terminated.find("TNAME1")) << c.lastLine;
            if (last && terminated.find("TNAME1")) {
                EXPECT_EQ(last->text, terminated.find("TNAME1")->text) << c.lastLine;
            }
        }
    }
}

// Names are found without regard to case among many: a later value replaces an earlier
// one of the same name, a "-" line removes it, and the file order is kept.
TEST(RegFile, FindsEachOfManyNames) {
    constexpr int kNames = 50000;
    QString text = "Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Velcor_Monidesk]\r\n";
    for (int i = 0; i < kNames; ++i)
        text += QStringLiteral("\"Wert%1\"=dword:%2\r\n").arg(i).arg(i, 8, 16, QChar(u'0'));
    for (int i = 0; i < kNames; i += 2)
        text += QStringLiteral("\"WERT%1\"=-\r\n").arg(i);
    text += QStringLiteral("\"wert1\"=\"neu\"\r\n\"Wert0\"=dword:00000007\r\n");
    const RegDocument doc = ParseRegFile(text.toUtf8());
    EXPECT_FALSE(doc.damaged);
    ASSERT_EQ(doc.values().size(), kNames / 2 + 1);
    EXPECT_EQ(doc.values().front().name, "wert1");
    EXPECT_EQ(doc.values().front().text, "neu");
    EXPECT_EQ(doc.values().back().name, "Wert0");
    for (int i = 2; i < kNames; ++i) {
        const RegValue* value = doc.find(QStringLiteral("wErT%1").arg(i));
        if (i % 2 == 0) {
            ASSERT_EQ(value, nullptr) << i;
        } else {
            ASSERT_NE(value, nullptr) << i;
            ASSERT_EQ(value->dword, quint32(i));
        }
    }
    const RegDocument again = ParseRegFile(FormatRegFile(doc));
    expectSameValues(again, doc, "many");
}

namespace {

// Characters that mean something to the format, to UTF-16 or to a line reader.
QString randomText(std::mt19937& random, int maxLength) {
    static const char16_t kPieces[] = u"\"\\\n\r\t =@[];,:-anZ0\u00fc\u20ac\u2028\u00a0\ufeff";
    QString text;
    const int length = std::uniform_int_distribution<int>(0, maxLength)(random);
    std::uniform_int_distribution<int> pick(0, int(std::size(kPieces)));
    for (int i = 0; i < length; ++i) {
        const int n = pick(random);
        if (n == int(std::size(kPieces)) - 1)
            text += QString::fromUtf16(u"\U0001F600"); // a surrogate pair
        else if (n == int(std::size(kPieces)))
            text += QChar(char16_t(std::uniform_int_distribution<int>(1, 0xD7FF)(random)));
        else
            text += QChar(kPieces[n]);
    }
    return text;
}

} // namespace

// Random documents of what the program writes: format then parse is the identity.
TEST(RegFile, RandomDocumentsRoundTrip) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        RegDocument doc;
        const int count = std::uniform_int_distribution<int>(0, 8)(random);
        for (int i = 0; i < count; ++i) {
            RegValue value;
            value.name = randomText(random, 6);
            value.type = std::array{Type::String, Type::ExpandString,
                                    Type::Dword}[std::uniform_int_distribution<int>(0, 2)(random)];
            if (value.type == Type::Dword)
                value.dword = quint32(random());
            else
                value.text = randomText(random, 40);
            ASSERT_TRUE(doc.set(value)) << round;
        }
        const QByteArray bytes = FormatRegFile(doc);
        const RegDocument read = ParseRegFile(bytes);
        ASSERT_FALSE(read.damaged) << round;
        expectSameValues(read, doc, QString::number(round));
        ASSERT_EQ(FormatRegFile(read), bytes) << round;
    }
}

namespace {

// A line as a hand-edited or damaged file may hold one: values of every kind, other
// keys, comments, junk, lines cut anywhere.
QString randomLine(std::mt19937& random) {
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const QString name = QStringLiteral("\"%1\"").arg(randomText(random, 4));
    QString line;
    switch (pick(12)) {
    case 0:
        line = "[HKEY_CURRENT_USER\\Velcor_Monidesk]";
        break;
    case 1:
        line = "[HKEY_CURRENT_USER\\Other" + randomText(random, 3) + "]";
        break;
    case 2:
        line = name + "=\"" + randomText(random, 10).remove(u'\n') + "\"";
        break;
    case 3:
        line = name + QStringLiteral("=dword:%1").arg(quint32(random()), 8, 16, QChar(u'0'));
        break;
    case 4:
    case 5: {
        QByteArray bytes;
        for (int i = pick(12); i > 0; --i)
            bytes += char(pick(3) == 0 ? 0 : pick(256));
        const QString kinds[] = {"hex", "hex(1)", "hex(2)", "hex(4)", "hex(7)", "hex(b)"};
        line = FormatHexValue(name, kinds[pick(6)], bytes).remove(u'\r');
        break;
    }
    case 6:
        line = name + "=-";
        break;
    case 7:
        line = "@=\"" + randomText(random, 5).remove(u'\n') + "\"";
        break;
    case 8:
        line = "; " + randomText(random, 8).remove(u'\n');
        break;
    case 9:
        line = "";
        break;
    default:
        line = randomText(random, 20);
        break;
    }
    if (pick(8) == 0)
        line.truncate(pick(int(line.size()) + 1)); // cut off
    return line;
}

} // namespace

// Random files, read, written and read again, give what the first reading gave: nothing
// that was read is lost or changed by a save.
TEST(RegFile, RandomFilesReadTheSameAfterASave) {
    std::mt19937 random(8122026);
    for (int round = 0; round < 3000; ++round) {
        QString text = random() % 4 ? "Windows Registry Editor Version 5.00\r\n" : "";
        for (int i = std::uniform_int_distribution<int>(0, 12)(random); i > 0; --i)
            text += randomLine(random) + (random() % 3 ? "\r\n" : "\n");
        if (random() % 2)
            text.chop(random() % 2 + 1); // no line break after the last line
        const QByteArray bytes =
            random() % 2
                ? text.toUtf8()
                : QByteArray("\xFF\xFE", 2) +
                      QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        const RegDocument first = ParseRegFile(bytes);
        const RegDocument second = ParseRegFile(FormatRegFile(first));
        ASSERT_FALSE(second.damaged) << round << text.toStdString();
        expectSameValues(second, first, QString::number(round));
        ASSERT_EQ(second.otherSections, first.otherSections) << round << text.toStdString();
    }
}
