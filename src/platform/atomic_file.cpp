#include "platform/atomic_file.h"

#include "platform/system_error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString kTemporaryMark = QStringLiteral(".~monidesk-");
constexpr int kRandomLength = 6;
constexpr int kMaxLinkDepth = 40;
constexpr int kNameAttempts = 100;
// The most one system call writes; larger pieces are written in turns.
constexpr qsizetype kMaxPiece = qsizetype(1) << 30;

// The text of a C library error code (errno).
QString errnoText(int code) {
    return SystemErrorText(code);
}

#ifdef Q_OS_WIN
using NativePath = std::wstring;
NativePath nativePath(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}
HANDLE toHandle(qintptr handle) {
    return reinterpret_cast<HANDLE>(handle);
}
// The system's text for the calling thread's last error.
QString lastError() {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed()
                          : QStringLiteral("Error %1").arg(code);
    LocalFree(buffer);
    return text;
}
#else
using NativePath = QByteArray;
NativePath nativePath(const QString& path) {
    return QFile::encodeName(path);
}
QString lastError() {
    return SystemErrorText(errno);
}
#endif

// Follows symbolic links to the file that is to be replaced (it need not exist yet).
QString resolveLinks(const QString& path, bool& loop) {
    QString current = QFileInfo(path).absoluteFilePath();
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        const QString next = info.symLinkTarget();
        if (next.isEmpty())
            return current;
        current = next;
    }
    loop = true;
    return current;
}

// The longest file name the folder takes: bytes (UTF-16 units on Windows).
int folderNameMax([[maybe_unused]] const QString& folder) {
#ifndef Q_OS_WIN
    const long max = ::pathconf(nativePath(folder).constData(), _PC_NAME_MAX);
    if (max > 0)
        return int(std::min<long>(max, 4096));
#endif
    return 255;
}

int nameLength(const QString& name) {
    return int(nativePath(name).size());
}

// How a temporary's name for `targetName` begins, before the mark: the name itself, or,
// when the mark and the random part would make that too long for the folder while the
// name alone fits, as much of the name's start as leaves them room, cut between
// characters. A name too long for the folder stays whole: it fails as itself.
QString temporaryBase(const QString& targetName, int nameMax) {
    const int room = nameMax - int(kTemporaryMark.size()) - kRandomLength;
    const int length = nameLength(targetName);
    if (length <= room || length > nameMax || room <= 0)
        return targetName;
    QString base = targetName;
    while (!base.isEmpty() && nameLength(base) > room) {
        const bool pair = base.size() >= 2 && base.back().isLowSurrogate() &&
                          base.at(base.size() - 2).isHighSurrogate();
        base.chop(pair ? 2 : 1);
    }
    return base;
}

// The temporary's path for `target` up to its random part.
QString temporaryStem(const QString& target) {
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    return QDir(folder).filePath(temporaryBase(info.fileName(), folderNameMax(folder))) +
           kTemporaryMark;
}

QString randomSuffix() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < kRandomLength; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(62)]);
    return suffix;
}

// A save that was killed leaves its temporary file behind. One that is a few minutes old
// belongs to no running save any more; a fresh one may, so it stays.
void removeStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    const QString name = info.fileName();
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kStaleTemporarySeconds);
    const int nameMax = folderNameMax(folder.path());
    const QStringList entries =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& entry : entries) {
        if (!IsAtomicFileTemporary(entry, name, nameMax))
            continue;
        const QFileInfo temporary(folder.filePath(entry));
        if (temporary.isFile() && !temporary.isSymLink() && temporary.lastModified() < limit)
            QFile::remove(temporary.filePath());
    }
}

// The platform's file primitives behind AtomicFile. writeSome returns the bytes written,
// or -1 with the reason in lastError(); syncAndClose returns the first failure's text.
#ifdef Q_OS_WIN
qsizetype writeSome(qintptr handle, const char* data, qsizetype size) {
    DWORD written = 0;
    if (!WriteFile(toHandle(handle), data, DWORD(size), &written, nullptr))
        return -1;
    return qsizetype(written);
}
QString syncAndClose(qintptr handle) {
    QString error;
    if (!FlushFileBuffers(toHandle(handle)))
        error = lastError();
    if (!CloseHandle(toHandle(handle)) && error.isEmpty())
        error = lastError();
    return error;
}
bool renameOver(const QString& from, const QString& to) {
    return MoveFileExW(nativePath(from).c_str(), nativePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
void closeHandle(qintptr handle) {
    CloseHandle(toHandle(handle));
}
void removeFile(const QString& path) {
    DeleteFileW(nativePath(path).c_str());
}
#else
qsizetype writeSome(qintptr handle, const char* data, qsizetype size) {
    for (;;) {
        const ssize_t written = ::write(int(handle), data, std::size_t(size));
        if (written >= 0 || errno != EINTR)
            return qsizetype(written);
    }
}
QString syncAndClose(qintptr handle) {
    QString error;
    if (::fsync(int(handle)) != 0)
        error = lastError();
    if (::close(int(handle)) != 0 && error.isEmpty())
        error = lastError();
    return error;
}
bool renameOver(const QString& from, const QString& to) {
    return ::rename(nativePath(from).constData(), nativePath(to).constData()) == 0;
}
void closeHandle(qintptr handle) {
    ::close(int(handle));
}
void removeFile(const QString& path) {
    ::unlink(nativePath(path).constData());
}
#endif

// Makes the rename itself durable; not every file system can sync a folder, so this is
// done where it works and otherwise left.
void syncFolder([[maybe_unused]] const QString& path) {
#ifndef Q_OS_WIN
    const int fd = ::open(nativePath(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::fsync(fd) != 0) {
        // The file's own data is synced already.
    }
    ::close(fd);
#endif
}

} // namespace

bool IsAtomicFileTemporary(const QString& fileName, const QString& targetName, int nameMax) {
    const QString base = temporaryBase(targetName, nameMax);
    const qsizetype prefix = base.size() + kTemporaryMark.size();
    if (fileName.size() != prefix + kRandomLength || !fileName.startsWith(base) ||
        QStringView(fileName).sliced(base.size(), kTemporaryMark.size()) != kTemporaryMark)
        return false;
    const QStringView suffix = QStringView(fileName).sliced(prefix);
    return std::all_of(suffix.begin(), suffix.end(),
                       [](QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); });
}

AtomicFile::AtomicFile(QString path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() {
    if (!committed_)
        discard();
}

void AtomicFile::fail(const QString& error) {
    if (!failed_)
        error_ = error.isEmpty() ? errnoText(EIO) : error;
    failed_ = true;
}

void AtomicFile::cancel() {
    discard();
    fail(errnoText(ECANCELED));
}

QString AtomicFile::errorString() const {
    return error_;
}

bool AtomicFile::open() {
    discard();
    failed_ = committed_ = false;
    error_.clear();
    bool loop = false;
    target_ = resolveLinks(path_, loop);
    if (loop || QFileInfo(target_).isDir()) {
        fail(errnoText(loop ? ELOOP : EISDIR));
        return false;
    }
    removeStaleTemporaries(target_);
    if (!createTemporary()) {
        fail(lastError());
        discard();
        return false;
    }
    return true;
}

#ifdef Q_OS_WIN

bool AtomicFile::createTemporary() {
    const QString stem = temporaryStem(target_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = stem + randomSuffix();
        const HANDLE file = CreateFileW(nativePath(temporary_).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<qintptr>(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    temporary_.clear(); // none of the names tried is ours
    return false;
}

#else

bool AtomicFile::createTemporary() {
    int fd = -1;
    const QString stem = temporaryStem(target_);
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        temporary_ = stem + randomSuffix();
        fd = ::open(nativePath(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        temporary_.clear(); // none of the names tried is ours
        return false;
    }
    handle_ = fd;
    // The new file gets the old one's owner and permissions (before any byte is in it).
    struct stat old {};
    if (::stat(nativePath(target_).constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only the owner's own files can be given away: the new file stays the writer's.
        }
        return ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    return true;
}

#endif

bool AtomicFile::write(QByteArrayView bytes) {
    if (handle_ == -1 || failed_) {
        fail(errnoText(EBADF));
        return false;
    }
    const char* data = bytes.data();
    for (qsizetype left = bytes.size(); left > 0;) {
        const qsizetype written = writeSome(handle_, data, std::min(left, kMaxPiece));
        if (written <= 0) {
            fail(written < 0 ? lastError() : errnoText(EIO));
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

bool AtomicFile::commit() {
    if (handle_ == -1 || failed_) {
        fail(errnoText(EBADF));
        discard();
        return false;
    }
    const qintptr handle = handle_;
    handle_ = -1;
    const QString closeError = syncAndClose(handle);
    if (!closeError.isEmpty())
        fail(closeError);
    if (!failed_ && !renameOver(temporary_, target_))
        fail(lastError());
    if (failed_) {
        discard();
        return false;
    }
    committed_ = true;
    syncFolder(target_);
    return true;
}

void AtomicFile::discard() {
    if (handle_ != -1) {
        closeHandle(handle_);
        handle_ = -1;
    }
    if (!temporary_.isEmpty() && !committed_)
        removeFile(temporary_);
    temporary_.clear();
}

AtomicWriteResult WriteFileAtomically(const QString& path, QByteArrayView bytes) {
    AtomicWriteResult result;
    AtomicFile file(path);
    if (!file.open()) {
        result.status = AtomicWriteResult::Status::CreateFailed;
        result.error = file.errorString();
    } else if (!file.write(bytes) || !file.commit()) {
        result.status = AtomicWriteResult::Status::WriteFailed;
        result.error = file.errorString();
    }
    return result;
}
