#pragma once

#include "settings/reg_file.h"
#include "settings/settings_store.h"

#include <QString>

#include <functional>
#include <memory>

class AtomicFile;

// The settings key as one registry export file per user. Reading accepts regedit's files;
// writes are kept in memory and replace the file atomically at close(). A file that cannot
// be read whole is moved aside (settings.reg.bad), what could be read is used and
// openNotice() says so. While it cannot be moved aside, nothing is saved over it. A file
// that cannot be opened at all (no permission, not a plain file, too large) is left where
// it is: the store does not open, so nothing is loaded and nothing saved over it.
class FileSettingsStore : public SettingsStore {
public:
    explicit FileSettingsStore(QString path);
    ~FileSettingsStore() override;

    bool open() override;
    std::string openError() const override { return openError_.toStdString(); }
    std::string openNotice() const override { return openNotice_.toStdString(); }
    StoredValue read(const std::string& name) override;
    bool writeString(const std::string& name, const std::string& value) override;
    bool writeExpandString(const std::string& name, const std::string& value) override;
    bool writeDword(const std::string& name, std::int32_t value) override;
    bool close() override;
    std::string writeError() const override { return saveError_.toStdString(); }

    const QString& path() const { return path_; }
    // Where open() put a damaged file; empty when it found none.
    const QString& setAsidePath() const { return setAside_; }
    // The system's reason why the file could not be written; empty when it could.
    const QString& saveError() const { return saveError_; }
    // Runs right before the commit (tests make the commit fail there).
    void setBeforeCommit(std::function<void(AtomicFile&)> hook) { beforeCommit_ = std::move(hook); }

private:
    bool readWholeFile(QByteArray& bytes, bool& missing);
    void setDamagedFileAside();
    bool write(const std::string& name, StoredValue::Type type, const std::string& text,
               std::int32_t dword);
    bool beginWrite();

    QString path_;
    QString setAside_;
    QString openError_;
    QString openNotice_;
    QString saveError_;
    QString keptDamaged_; // why the damaged file is still in place: no write may replace it
    RegDocument document_;
    bool open_ = false;
    std::unique_ptr<AtomicFile> out_;
    std::function<void(AtomicFile&)> beforeCommit_;
};

// The largest settings file, read or written: one limit both ways, so that what is saved is
// read again. The program's own values at their longest: a loaded path has at most
// kMaxTextBytes (4096) characters; written as regedit writes an expandable string that is
// 8194 bytes with the NUL, 3.2 characters a byte ("xx," and a line break every 25 bytes),
// 2 bytes a character in UTF-16: 52 KB. Four paths take 205 KB, the other 28 values less
// than 3 KB; all 13 texts as long as loading takes them would be 666 KB. A megabyte holds
// that and some foreign values besides; the usual file is about 3 KB.
inline constexpr qint64 kMaxSettingsFileBytes = 1024 * 1024;

// <per-user config folder>/Velcor_Monidesk/settings.reg
QString UserSettingsFilePath();

// Renames a damaged file to "<path>.bad" (or "<path>.bad2", ... when that exists already,
// so an earlier one is kept too). Returns the new name; empty when it could not be moved,
// and `reason` says why.
QString SetDamagedFileAside(const QString& path, QString* reason = nullptr);

// A line of a file as a message shows it: control, format and separator characters as
// \xNN or \uNNNN (they would break or reorder the message), cut to at most `maxLength`
// characters with "…" at the end.
QString ShownFileLine(QStringView line, qsizetype maxLength = 80);
