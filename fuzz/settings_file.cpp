// The settings file parser and writer. Whatever the bytes, parsing ends; a damaged document
// says where (a line the file has), and only a damaged one does; what it read formats into
// a file that parses back undamaged into the same document and formats into the same bytes
// again. Through the settings code: the settings loaded from the bytes, saved and loaded
// again are the same.
#include "fuzz_common.h"

#include "settings/file_settings_store.h"
#include "settings/reg_file.h"
#include "settings/settings_io.h"

#include <QFile>

#include <variant>

namespace {

bool sameValue(const RegValue& a, const RegValue& b) {
    return a.name == b.name && a.type == b.type && a.text == b.text && a.dword == b.dword &&
           a.data == b.data;
}

// Names compare without regard to case.
QString asciiSwapCase(QString name) {
    for (QChar& c : name)
        if (c.unicode() < 128 && c.isLetter())
            c = c.isUpper() ? c.toLower() : c.toUpper();
    return name;
}

// Every '\n' of the text has a 0x0A byte, whatever the encoding: lines are no more than these.
void checkDamage(const RegDocument& document, const QByteArray& bytes) {
    const RegDamage& damage = document.damage;
    FUZZ_CHECK(document.damaged ==
               (damage.line > 0 || damage.noHeader || damage.empty || damage.cutCharacter));
    FUZZ_CHECK((damage.line > 0) == (damage.lines > 0));
    FUZZ_CHECK(damage.line <= bytes.count('\n') + 1);
    FUZZ_CHECK(damage.lines <= bytes.count('\n') + 1);
    FUZZ_CHECK(damage.text.size() <= RegDamage::kKeptLength);
}

void checkFormatRoundTrip(const RegDocument& document) {
    const QByteArray file = FormatRegFile(document);
    const RegDocument again = ParseRegFile(file);
    FUZZ_CHECK(!again.damaged);
    FUZZ_CHECK(again.otherSections == document.otherSections);
    const QList<RegValue>& before = document.values();
    const QList<RegValue>& after = again.values();
    FUZZ_CHECK(before.size() == after.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        FUZZ_CHECK(sameValue(before[i], after[i]));
        FUZZ_CHECK(again.find(asciiSwapCase(before[i].name)) == &after[i]);
    }
    FUZZ_CHECK(FormatRegFile(again) == file);
}

Settings load(const QString& path) {
    Settings loaded; // the start values
    FileSettingsStore store(path);
    LoadSettings(store, loaded, {});
    QFile::remove(path + QStringLiteral(".bad")); // a damaged input is set aside
    return loaded;
}

bool sameSettings(const Settings& a, const Settings& b) {
    for (const SettingField& field : kSettingsTable) {
        const bool same =
            std::visit([&](auto member) { return a.*member == b.*member; }, field.member);
        if (!same)
            return false;
    }
    return true;
}

void checkLoadSaveLoad(const QByteArray& bytes) {
    const QString path = ScratchPath(QStringLiteral("settings.reg"));
    WriteScratchFile(path, bytes);
    Settings first = load(path);
    {
        FileSettingsStore store(path);
        SaveSettings(store, first, [](const std::string& text) {
            std::fprintf(stderr, "save: %s\n", text.c_str());
            FuzzFail("the save takes every loaded value", __FILE__, __LINE__);
        });
    }
    const Settings second = load(path);
    first.REGAPP = kFirstRunMarker; // always saved so
    FUZZ_CHECK(sameSettings(first, second));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    const RegDocument document = ParseRegFile(bytes);
    checkDamage(document, bytes);
    checkFormatRoundTrip(document);
    checkLoadSaveLoad(bytes);
    return 0;
}
