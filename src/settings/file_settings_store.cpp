#include "settings/file_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Texts in memory are 8-bit in the system's encoding (UTF-8 on Linux).
QString fromMemory(const std::string& text) {
    return QString::fromLocal8Bit(text);
}
std::string toMemory(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace

FileSettingsStore::FileSettingsStore(QString path) : path_(std::move(path)) {}

// Without close() nothing is committed: QSaveFile drops its temporary file.
FileSettingsStore::~FileSettingsStore() = default;

bool FileSettingsStore::open() {
    if (path_.isEmpty())
        return false;
    document_ = {};
    out_.reset();
    open_ = true;
    QFile file(path_);
    if (!file.exists())
        return true; // created by the first save
    if (!file.open(QIODevice::ReadOnly)) {
        setAside_ = SetDamagedFileAside(path_);
        return true;
    }
    document_ = ParseRegFile(file.readAll());
    file.close();
    if (document_.damaged)
        setAside_ = SetDamagedFileAside(path_);
    return true;
}

StoredValue FileSettingsStore::read(const std::string& name) {
    StoredValue result;
    const RegValue* value = open_ ? document_.find(fromMemory(name)) : nullptr;
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

bool FileSettingsStore::write(const std::string& name, StoredValue::Type type,
                              const std::string& text, std::int32_t dword) {
    if (!open_ || (!out_ && !beginWrite()))
        return false;
    RegValue value;
    value.name = fromMemory(name);
    value.type = type;
    value.text = fromMemory(text);
    value.dword = static_cast<quint32>(dword);
    document_.set(value);
    return true;
}

// The first write creates the folder and the temporary file beside settings.reg, so a
// store that cannot be written refuses that write already.
bool FileSettingsStore::beginWrite() {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return false;
    auto out = std::make_unique<QSaveFile>(path_);
    if (!out->open(QIODevice::WriteOnly))
        return false;
    out_ = std::move(out);
    return true;
}

bool FileSettingsStore::close() {
    if (!open_)
        return true;
    open_ = false;
    if (!out_)
        return true; // nothing written
    const std::unique_ptr<QSaveFile> out = std::move(out_);
    const QByteArray bytes = FormatRegFile(document_);
    if (out->write(bytes) != bytes.size()) {
        out->cancelWriting();
        return false;
    }
    if (beforeCommit_)
        beforeCommit_(*out);
    return out->commit();
}

QString UserSettingsFilePath() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        return {};
    return base + QStringLiteral("/Velcor_Monidesk/settings.reg");
}

QString SetDamagedFileAside(const QString& path) {
    const QString first = path + QStringLiteral(".bad");
    for (int n = 1; n < 1000; ++n) {
        const QString target = n == 1 ? first : first + QString::number(n);
        if (QFileInfo::exists(target))
            continue;
        return QFile::rename(path, target) ? target : QString();
    }
    return {};
}

#ifndef _WIN32
std::unique_ptr<SettingsStore> OpenPlatformSettingsStore() {
    return std::make_unique<FileSettingsStore>(UserSettingsFilePath());
}
#endif
