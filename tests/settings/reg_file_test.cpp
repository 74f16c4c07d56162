#include "settings/reg_file.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(doc.values.size(), 8); // with the default value "@"
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
    EXPECT_EQ(ParseRegFile(FormatRegFile(doc)).values.size(), doc.values.size());
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
// is missing, and a cut inside a line marks the file damaged.
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
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        const RegDocument doc = ParseRegFile(bytes.left(cut));
        bool atLineEnd = false;
        if (cut > 2 && cut % 2 == 0) {
            const QString text = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(bytes.constData() + 2), (cut - 2) / 2);
            atLineEnd = text.split(u'\n').last().trimmed().isEmpty();
        }
        if (!atLineEnd) {
            EXPECT_TRUE(doc.damaged) << cut;
        }
        for (const RegValue& value : doc.values) {
            const RegValue* original = full.find(value.name);
            ASSERT_NE(original, nullptr) << cut;
            EXPECT_EQ(value.type, original->type) << cut;
            EXPECT_EQ(value.text, original->text) << cut;
            EXPECT_EQ(value.dword, original->dword) << cut;
        }
    }
    EXPECT_EQ(ParseRegFile(bytes).values.size(), 5);
}
