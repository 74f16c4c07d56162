#include "settings/file_settings_store.h"

#include "platform/atomic_file.h"
#include "platform/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Texts in memory are 8-bit in the system's encoding (UTF-8 on Linux). A leading U+FEFF
// is part of the text, not a byte order mark.
constexpr auto kConverterFlags =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

std::string toMemory(const QString& text) {
    QStringEncoder encoder(QStringConverter::System, kConverterFlags);
    const QByteArray bytes = encoder.encode(text);
    return bytes.toStdString();
}

// False when the text has no form in the file that gives back these very bytes.
bool fromMemory(const std::string& text, QString& out) {
    QStringDecoder decoder(QStringConverter::System, kConverterFlags);
    out = decoder.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    return !decoder.hasError() && toMemory(out) == text;
}

QString cannotRead(const QString& path, const QString& reason) {
    return QStringLiteral("Fehler beim Lesen der Einstellungen aus '%1': %2.\n"
                          "Es gelten die Grundeinstellungen; beim Beenden wird nichts "
                          "gespeichert.")
        .arg(QDir::toNativeSeparators(path), reason);
}

const QString kNotAFile = QStringLiteral("keine gewöhnliche Datei");
const QString kTooLarge =
    QStringLiteral("die Datei ist größer als %1 MB").arg(kMaxSettingsFileBytes / (1024 * 1024));
const QString kSaveTooLarge = QStringLiteral("die Einstellungen wären größer als %1 MB")
                                  .arg(kMaxSettingsFileBytes / (1024 * 1024));

// What of a damaged file could not be read, for the user: a line of its own (the file's
// line ends it, so there is no full stop after it).
QString damageText(const RegDamage& damage) {
    if (damage.line > 0) {
        const QString more = damage.lines > 1
                                 ? QStringLiteral(" (und %1 weitere)").arg(damage.lines - 1)
                                 : QString();
        return QStringLiteral("Zeile %1%2 ist nicht lesbar: %3")
            .arg(QString::number(damage.line), more, ShownFileLine(damage.text));
    }
    if (damage.noHeader)
        return QStringLiteral("Die Kopfzeile 'Windows Registry Editor Version 5.00' fehlt.");
    if (damage.empty)
        return QStringLiteral("Die Datei ist leer.");
    return QStringLiteral("Die Datei endet mitten in einem Zeichen.");
}

// \xNN for a character that fits a byte, else \uNNNN (\UNNNNNNNN beyond 16 bits).
QString escaped(char32_t code) {
    if (code < 0x100)
        return QStringLiteral("\\x%1").arg(uint(code), 2, 16, QChar(u'0'));
    if (code < 0x10000)
        return QStringLiteral("\\u%1").arg(uint(code), 4, 16, QChar(u'0'));
    return QStringLiteral("\\U%1").arg(uint(code), 8, 16, QChar(u'0'));
}

enum class Opened { File, Missing, Failed };

#ifdef Q_OS_UNIX
// Opens without waiting (a named pipe would block until some program writes to it) and
// tells a plain file from anything else by the open file itself.
Opened openPlainFile(QFile& file, QString& reason) {
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // Missing, or a file stands where a folder of the path should be: the save creates the
    // file (through a link to a missing file: that file), or says it cannot.
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
        return Opened::Missing;
    if (fd < 0) {
        reason = SystemErrorText(errno);
        return Opened::Failed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = kNotAFile;
        ::close(fd);
        return Opened::Failed;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reason = file.errorString();
        ::close(fd);
        return Opened::Failed;
    }
    return Opened::File;
}
#else
Opened openPlainFile(QFile& file, QString& reason) {
    const QFileInfo info(file.fileName());
    if (!info.exists())
        return Opened::Missing;
    if (!info.isFile()) {
        reason = kNotAFile;
        return Opened::Failed;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return Opened::Failed;
    }
    return Opened::File;
}
#endif

// Reads the file in pieces, so that a small file costs a small buffer, up to the size
// bound (the file may grow while it is read). The reason it failed, or nothing.
QString readBounded(QFile& file, QByteArray& bytes) {
    constexpr qint64 kPiece = 64 * 1024;
    for (;;) {
        const QByteArray piece = file.read(kPiece);
        if (file.error() != QFileDevice::NoError)
            return file.errorString();
        if (piece.isEmpty())
            return {};
        bytes += piece;
        if (bytes.size() > kMaxSettingsFileBytes)
            return kTooLarge;
    }
}

} // namespace

FileSettingsStore::FileSettingsStore(QString path) : path_(std::move(path)) {}

// Without close() nothing is committed: the temporary file goes with the AtomicFile.
FileSettingsStore::~FileSettingsStore() = default;

bool FileSettingsStore::open() {
    document_ = {};
    out_.reset();
    open_ = false;
    openError_.clear();
    openNotice_.clear();
    saveError_.clear();
    setAside_.clear();
    keptDamaged_.clear();
    if (path_.isEmpty())
        return false;
    bool missing = false;
    QByteArray bytes;
    if (!readWholeFile(bytes, missing))
        return false;
    if (!missing) {
        document_ = ParseRegFile(bytes);
        if (document_.damaged)
            setDamagedFileAside();
    }
    open_ = true;
    return true;
}

// The damaged original is kept for the user (a later save must not replace it) and the
// notice names it and the first line that could not be read. What could be read is used:
// a line that failed counts as a missing value.
void FileSettingsStore::setDamagedFileAside() {
    QString reason;
    setAside_ = SetDamagedFileAside(path_, &reason);
    QString kept;
    if (setAside_.isEmpty()) {
        keptDamaged_ =
            QStringLiteral("die beschädigte Einstellungsdatei ließ sich nicht beiseitelegen: %1")
                .arg(reason);
        kept = QStringLiteral("Sie ließ sich nicht beiseitelegen (%1) und bleibt, wie sie ist.")
                   .arg(reason);
    } else {
        kept = QStringLiteral("Sie wurde als '%1' beiseitegelegt.")
                   .arg(QDir::toNativeSeparators(setAside_));
    }
    openNotice_ = QStringLiteral("Die Einstellungsdatei '%1' ist beschädigt.\n%2\n%3 Es gelten "
                                 "die lesbaren Werte, für die übrigen die Grundeinstellungen.")
                      .arg(QDir::toNativeSeparators(path_), damageText(document_.damage), kept);
}

// Only a plain file of a sane size is read (a device such as /dev/zero never ends);
// anything else, and a file that cannot be read, is not touched. A missing file is no
// failure: the first save creates it.
bool FileSettingsStore::readWholeFile(QByteArray& bytes, bool& missing) {
    QFile file(path_);
    QString reason;
    const Opened opened = openPlainFile(file, reason);
    missing = opened == Opened::Missing;
    if (opened == Opened::File) {
        if (file.size() > kMaxSettingsFileBytes)
            reason = kTooLarge;
        else
            reason = readBounded(file, bytes);
    }
    if (reason.isEmpty())
        return true;
    openError_ = cannotRead(path_, reason);
    bytes.clear();
    return false;
}

StoredValue FileSettingsStore::read(const std::string& name) {
    StoredValue result;
    QString key;
    const RegValue* value = open_ && fromMemory(name, key) ? document_.find(key) : nullptr;
    if (!value)
        return result;
    result.type = value->type;
    if (value->type == StoredValue::Type::String || value->type == StoredValue::Type::ExpandString)
        result.text = toMemory(value->text);
    else if (value->type == StoredValue::Type::Dword)
        result.dword = static_cast<std::int32_t>(value->dword);
    return result;
}

bool FileSettingsStore::writeString(const std::string& name, const std::string& value) {
    return write(name, StoredValue::Type::String, value, 0);
}

bool FileSettingsStore::writeExpandString(const std::string& name, const std::string& value) {
    return write(name, StoredValue::Type::ExpandString, value, 0);
}

bool FileSettingsStore::writeDword(const std::string& name, std::int32_t value) {
    return write(name, StoredValue::Type::Dword, {}, value);
}

// A value the file cannot give back as it is (not valid text in the system's encoding,
// a NUL in it) is refused before anything is written.
bool FileSettingsStore::write(const std::string& name, StoredValue::Type type,
                              const std::string& text, std::int32_t dword) {
    if (!open_)
        return false;
    RegValue value;
    value.type = type;
    value.dword = static_cast<quint32>(dword);
    if (!fromMemory(name, value.name) || !fromMemory(text, value.text) ||
        !IsStorableRegText(value.name) || !IsStorableRegText(value.text))
        return false;
    if (!out_ && !beginWrite())
        return false;
    return document_.set(value);
}

// The first write creates the folder and the temporary file beside settings.reg, so a
// store that cannot be written refuses that write already.
bool FileSettingsStore::beginWrite() {
    if (!keptDamaged_.isEmpty()) {
        saveError_ = keptDamaged_;
        return false;
    }
    QDir().mkpath(QFileInfo(path_).absolutePath()); // when it fails, so does the open
    auto out = std::make_unique<AtomicFile>(path_);
    if (!out->open()) {
        saveError_ = out->errorString();
        return false;
    }
    out_ = std::move(out);
    return true;
}

bool FileSettingsStore::close() {
    if (!open_)
        return true;
    open_ = false;
    if (!out_)
        return true; // nothing written
    const std::unique_ptr<AtomicFile> out = std::move(out_);
    const QByteArray bytes = FormatRegFile(document_);
    if (bytes.size() > kMaxSettingsFileBytes) {
        saveError_ = kSaveTooLarge; // the next start would not read it
        return false;
    }
    bool saved = out->write(bytes);
    if (saved && beforeCommit_)
        beforeCommit_(*out);
    saved = saved && out->commit();
    if (!saved)
        saveError_ = out->errorString();
    return saved;
}

QString UserSettingsFilePath() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return {};
    return base + QStringLiteral("/Velcor_Monidesk/settings.reg");
}

QString SetDamagedFileAside(const QString& path, QString* reason) {
    const QString first = path + QStringLiteral(".bad");
    for (int n = 1; n < 1000; ++n) {
        const QString target = n == 1 ? first : first + QString::number(n);
        const QFileInfo info(target);
        if (info.exists() || info.isSymLink())
            continue;
#ifdef Q_OS_UNIX
        if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) ==
            0)
            return target;
        if (reason)
            *reason = SystemErrorText(errno);
#else
        QFile file(path);
        if (file.rename(target))
            return target;
        if (reason)
            *reason = file.errorString();
#endif
        return {};
    }
    if (reason)
        *reason = QStringLiteral("zu viele beiseitegelegte Dateien");
    return {};
}

QString ShownFileLine(QStringView line, qsizetype maxLength) {
    QString shown;
    for (qsizetype i = 0; i < line.size();) {
        char32_t code = line[i].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(code) && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(line[i], line[i + 1]);
            width = 2;
        }
        const QChar::Category category = QChar::category(code);
        const bool hidden = category == QChar::Other_Control || category == QChar::Other_Format ||
                            category == QChar::Other_Surrogate ||
                            category == QChar::Separator_Line ||
                            category == QChar::Separator_Paragraph;
        const QString piece = hidden ? escaped(code) : line.sliced(i, width).toString();
        if (shown.size() + piece.size() > maxLength) {
            shown += u'…';
            break;
        }
        shown += piece;
        i += width;
    }
    return shown;
}

#ifndef _WIN32
std::unique_ptr<SettingsStore> OpenPlatformSettingsStore() {
    return std::make_unique<FileSettingsStore>(UserSettingsFilePath());
}
#endif
