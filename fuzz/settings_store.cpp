// FileSettingsStore on a file holding the input: it opens, reads every one of the 32
// settings (the same by a name in other letter case), writes each value back as it read
// it and saves; reopened, it reads the same values. A damaged file is set aside with a
// notice that shows no control character of the file's and stays short.
#include "fuzz_common.h"

#include "settings/file_settings_store.h"
#include "settings/settings.h"

#include <QFileInfo>

#include <array>

namespace {

// The notice's own three lines, the two paths and at most a line's shown length besides;
// no character of the file that would break or reorder the message, no half of a pair.
void checkNotice(const std::string& notice, const QString& path) {
    const QString text = QString::fromStdString(notice);
    FUZZ_CHECK(text.count(u'\n') == 2);
    FUZZ_CHECK(text.isValidUtf16());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            continue;
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate()) { // valid UTF-16: its pair follows
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const QChar::Category category = QChar::category(code);
        FUZZ_CHECK(category != QChar::Other_Control && category != QChar::Other_Format &&
                   category != QChar::Separator_Line && category != QChar::Separator_Paragraph);
    }
    FUZZ_CHECK(text.size() <= 2 * path.size() + 400);
}

bool sameValue(const StoredValue& a, const StoredValue& b) {
    return a.type == b.type && a.text == b.text && a.dword == b.dword;
}

std::string lowerCase(std::string name) {
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name;
}

// Writes the value back with its type; false for one no write gives (missing, other).
bool writeBack(FileSettingsStore& store, const std::string& name, const StoredValue& value) {
    switch (value.type) {
    case StoredValue::Type::String:
        FUZZ_CHECK(store.writeString(name, value.text));
        return true;
    case StoredValue::Type::ExpandString:
        FUZZ_CHECK(store.writeExpandString(name, value.text));
        return true;
    case StoredValue::Type::Dword:
        FUZZ_CHECK(store.writeDword(name, value.dword));
        return true;
    case StoredValue::Type::Missing:
    case StoredValue::Type::Other:
        break;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = ScratchPath(QStringLiteral("settings.reg"));
    const QString setAside = path + QStringLiteral(".bad");
    WriteScratchFile(path, InputBytes(data, size));

    std::array<StoredValue, kSettingsCount> read;
    bool written = false;
    {
        FileSettingsStore store(path);
        FUZZ_CHECK(store.open());
        FUZZ_CHECK(store.setAsidePath().isEmpty() == store.openNotice().empty());
        if (!store.openNotice().empty())
            checkNotice(store.openNotice(), path);
        for (std::size_t i = 0; i < read.size(); ++i) {
            const std::string name = kSettingsTable[i].name;
            read[i] = store.read(name);
            FUZZ_CHECK(sameValue(store.read(lowerCase(name)), read[i]));
        }
        for (std::size_t i = 0; i < read.size(); ++i)
            written = writeBack(store, kSettingsTable[i].name, read[i]) || written;
        FUZZ_CHECK(store.close());
        FUZZ_CHECK(store.saveError().isEmpty());
    }
    QFile::remove(setAside);
    // A damaged file is set aside and, with nothing written, not saved anew.
    if (!written && !QFileInfo::exists(path))
        return 0;

    FileSettingsStore reopened(path);
    FUZZ_CHECK(reopened.open());
    FUZZ_CHECK(!QFileInfo::exists(setAside)); // what the store saved is never damaged
    for (std::size_t i = 0; i < read.size(); ++i)
        FUZZ_CHECK(sameValue(reopened.read(kSettingsTable[i].name), read[i]));
    FUZZ_CHECK(reopened.close());
    return 0;
}
