#pragma once

// Real full-disk conditions for tests: a small tmpfs that can be filled up, and a file-size
// limit (RLIMIT_FSIZE) with SIGXFSZ ignored, so that writes fail as on a full disk.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

// A tmpfs of `kilobytes` mounted on a scratch folder for the life of the object (root only;
// mounted() says whether it worked, so tests can skip elsewhere).
class SmallTmpfs {
public:
    explicit SmallTmpfs(int kilobytes) {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        mounted_ = dir_.isValid() && ::mount("tmpfs", dir_.path().toLocal8Bit().constData(),
                                             "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallTmpfs() {
        if (mounted_)
            ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_.filePath(name); }

    // Writes a filler file until the disk is full; returns how many bytes went in.
    qint64 fill(const QString& name = QStringLiteral("filler")) const {
        QFile filler(path(name));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 0;
        const QByteArray block(4096, 'x');
        qint64 total = 0;
        for (;;) {
            const qint64 n = filler.write(block);
            if (n <= 0)
                break;
            total += n;
        }
        return total;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Limits the size of files this process writes for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};
