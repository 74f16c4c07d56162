#pragma once

// Real write failures for tests: a small tmpfs that is filled up, and a child process that
// runs under a file-size limit. Both need a Unix system; the tmpfs also needs the right
// to mount (root), and a test without it skips (GTEST_SKIP) instead of failing.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// A tmpfs of a few pages, mounted on a scratch folder for the lifetime of this object.
class SmallTmpfs {
public:
    explicit SmallTmpfs(int kilobytes = 64) {
        if (!scratch_.isValid()) {
            reason_ = "no scratch folder";
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        if (::mount("tmpfs", QFile::encodeName(scratch_.path()).constData(), "tmpfs",
                    MS_NOSUID | MS_NODEV, options.constData()) != 0) {
            reason_ =
                std::string("mounting a tmpfs is not permitted here: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallTmpfs() {
        if (mounted_)
            ::umount2(QFile::encodeName(scratch_.path()).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    QString path() const { return scratch_.path(); }

    // Writes a filler file until not one more byte fits. Returns whether the file system
    // reported itself full (ENOSPC).
    bool fill() {
        const QByteArray name = QFile::encodeName(path() + "/filler");
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        bool full = false;
        for (std::size_t piece : {std::size_t(4096), std::size_t(1)}) {
            const std::string bytes(piece, 'f');
            while (::write(fd, bytes.data(), piece) == ssize_t(piece)) {
            }
            full = errno == ENOSPC;
        }
        ::close(fd);
        return full;
    }

private:
    QTemporaryDir scratch_;
    bool mounted_ = false;
    std::string reason_;
};

// What a child process reported: its exit code and what its work returned.
struct ChildResult {
    bool exited = false; // ended through exit, not killed by a signal
    int code = -1;
    std::string output;
};

// Runs `work` in a forked child and hands back its text. The child ignores SIGXFSZ, as the
// program does, so a file-size limit (fileSizeLimit >= 0 bytes) makes writes fail with
// EFBIG instead of killing it. The child leaves through _exit: nothing of the test
// program's state is torn down twice.
inline ChildResult RunInChild(const std::function<std::string()>& work,
                              long long fileSizeLimit = -1) {
    ChildResult result;
    int channel[2];
    if (::pipe(channel) != 0)
        return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        if (fileSizeLimit >= 0) {
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(3);
        }
        const std::string output = work();
        for (std::size_t done = 0; done < output.size();) {
            const ssize_t n = ::write(channel[1], output.data() + done, output.size() - done);
            if (n <= 0)
                ::_exit(4);
            done += std::size_t(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    if (child < 0) {
        ::close(channel[0]);
        return result;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        result.output.append(buffer, std::size_t(n));
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exited = WIFEXITED(status);
    result.code = result.exited ? WEXITSTATUS(status) : -1;
    return result;
}

// Limits the size of the files this process writes, for the life of the object, with SIGXFSZ
// ignored as the program does. For code that needs the test's own objects (a window, a
// store); RunInChild keeps the limit out of the test process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes) {
        previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = rlim_t(bytes);
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit saved_{};
    sighandler_t previousHandler_ = nullptr;
    bool active_ = false;
};

// The names in a folder, hidden ones too.
inline QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
