#pragma once

#include <QByteArrayView>
#include <QString>

// Replaces a file only when every byte of its new content reached the disk: the content
// goes to a temporary file beside the target (named "<name>.~monidesk-XXXXXX", the name
// cut short where that would be too long for the folder), written unbuffered, synced, and
// then renamed over the target in one step. Until then the old file stays exactly as it
// was; a failed or abandoned save leaves no temporary file.
//
// A symbolic link as target is kept: the file it points to is replaced. An existing
// file's permissions carry over to the new one. A folder as target cannot be opened.
class AtomicFile {
public:
    explicit AtomicFile(QString path);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file beside the target. Temporaries of this naming for the
    // same target that a killed save left behind are removed first.
    bool open();
    // Writes the bytes to the temporary file; after a failure every later write and the
    // commit fail too.
    bool write(QByteArrayView bytes);
    // Syncs and closes the temporary file, each step checked, then renames it over the
    // target. False when any step failed: the target is untouched then.
    bool commit();
    // Drops the temporary file; the target stays as it is and commit() fails.
    void cancel();
    // The system's reason for the last failure ("No space left on device").
    QString errorString() const;

    // The file that commit() replaces: the target with symbolic links followed.
    const QString& targetPath() const { return target_; }
    const QString& temporaryPath() const { return temporary_; }

private:
    void fail(const QString& error);
    void discard();
    bool createTemporary(); // a new file beside the target; errno / the last error says why not

    QString path_;
    QString target_;
    QString temporary_;
    QString error_;
    qintptr handle_ = -1; // a file descriptor, or a HANDLE on Windows
    bool failed_ = false;
    bool committed_ = false;
};

// The naming of the program's temporary files for a target called `targetName` in a
// folder that takes names of up to `nameMax` bytes.
bool IsAtomicFileTemporary(const QString& fileName, const QString& targetName, int nameMax = 255);
// Temporaries older than this belong to no running save any more.
inline constexpr int kStaleTemporarySeconds = 5 * 60;

struct AtomicWriteResult {
    enum class Status { Ok, CreateFailed, WriteFailed };
    Status status = Status::Ok;
    QString error; // the system's reason when not Ok
    bool ok() const { return status == Status::Ok; }
};

// Replaces `path` with `bytes` through an AtomicFile.
AtomicWriteResult WriteFileAtomically(const QString& path, QByteArrayView bytes);
