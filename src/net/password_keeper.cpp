#include "net/password_keeper.h"

#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <qt6keychain/keychain.h>

#include <functional>
#include <memory>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString kService = QStringLiteral("Velcor Monidesk");
const QString kKey = QStringLiteral("mqtt-password");
// A password file larger than this is no password file.
constexpr qint64 kMaxPasswordFileBytes = 64 * 1024;

QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("Fehler beim Schreiben der Datei '%1': %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString cannotRead(const QString& path, const QString& reason) {
    return QStringLiteral("Fehler beim Lesen der Datei '%1': %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

// Starts `job` and hands `done` exactly one answer in time: the job's, or nullptr when the
// keyring took longer than `timeout`. An answer after that comes to `late`.
void RunKeyringJob(QObject* owner, QKeychain::Job* job, int timeout,
                   std::function<void(QKeychain::Job*)> done,
                   std::function<void(QKeychain::Job*)> late) {
    auto answered = std::make_shared<bool>(false);
    auto* timer = new QTimer(owner);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, owner, [answered, timer, done] {
        timer->deleteLater();
        if (std::exchange(*answered, true))
            return;
        done(nullptr);
    });
    QObject::connect(job, &QKeychain::Job::finished, owner,
                     [answered, timer, done, late](QKeychain::Job* finished) {
                         if (std::exchange(*answered, true)) {
                             late(finished);
                             return;
                         }
                         timer->stop();
                         timer->deleteLater();
                         done(finished);
                     });
    job->start();
    timer->start(timeout);
}

bool ReachedKeyring(const QKeychain::Job* job, bool forgetting) {
    // Forgetting a password the keyring never held is done too.
    return job && (job->error() == QKeychain::NoError ||
                   (forgetting && job->error() == QKeychain::EntryNotFound));
}

} // namespace

PasswordKeeper::PasswordKeeper(QObject* parent) : QObject(parent) {}

PasswordKeeper::~PasswordKeeper() {
    if (storing_)
        keepInFile();
}

QString PasswordKeeper::fallbackFilePath() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base + QStringLiteral("/Velcor_Monidesk/mqtt-password");
}

void PasswordKeeper::store(const QString& password) {
    password_ = password;
    storing_ = true;
    const quint64 number = ++stores_;
    QKeychain::Job* job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(kService, this);
    } else {
        auto* write = new QKeychain::WritePasswordJob(kService, this);
        write->setTextData(password);
        job = write;
    }
    job->setKey(kKey);
    const bool forgetting = password.isEmpty();
    RunKeyringJob(
        this, job, keyringTimeout_,
        [this, number, forgetting](QKeychain::Job* done) {
            keyringStoreDone(number, ReachedKeyring(done, forgetting), false);
        },
        [this, number, forgetting](QKeychain::Job* done) {
            keyringStoreDone(number, ReachedKeyring(done, forgetting), true);
        });
}

void PasswordKeeper::keyringStoreDone(quint64 storeNumber, bool reachedKeyring, bool late) {
    if (storeNumber != stores_)
        return; // a newer store() decides where the password is
    if (late) {
        // The keyring took it after all, after the file had been written. The file would
        // win at the next load, and it holds the same password: it may go now.
        if (reachedKeyring && QFile::remove(fallbackFilePath()))
            place_ = password_.isEmpty() ? Place::Nowhere : Place::Keyring;
        return;
    }
    storing_ = false;
    bool ok = true;
    if (reachedKeyring) {
        // An older password in the file would win over the keyring at the next load.
        const QString file = fallbackFilePath();
        if (!QFileInfo::exists(file) || QFile::remove(file)) {
            place_ = password_.isEmpty() ? Place::Nowhere : Place::Keyring;
            lastError_.clear();
        } else {
            ok = keepInFile();
        }
    } else {
        ok = keepInFile();
    }
    Q_EMIT stored(ok);
}

// The file also keeps "no password" (empty): a keyring that could not forget the old one
// must not bring it back at the next load.
bool PasswordKeeper::keepInFile() {
    const QString file = fallbackFilePath();
    const QString reason = WritePrivateFile(file, password_.toUtf8());
    if (!reason.isEmpty()) {
        lastError_ = cannotWrite(file, reason);
        return false;
    }
    place_ = password_.isEmpty() ? Place::Nowhere : Place::File;
    lastError_.clear();
    return true;
}

void PasswordKeeper::load() {
    const quint64 number = ++loads_;
    const quint64 storesBefore = stores_;
    if (QFileInfo::exists(fallbackFilePath())) {
        // Answered from the event loop, as the keyring answers.
        QMetaObject::invokeMethod(
            this,
            [this, number, storesBefore] {
                if (number == loads_ && storesBefore == stores_)
                    loadFromFile();
            },
            Qt::QueuedConnection);
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(kService, this);
    job->setKey(kKey);
    RunKeyringJob(
        this, job, keyringTimeout_,
        [this, number, storesBefore](QKeychain::Job* done) {
            keyringLoadDone(number, storesBefore, done);
        },
        [this, number, storesBefore](QKeychain::Job* late) {
            // A keyring that answers late (it asked the user to unlock it) still brings the
            // password; loaded() then comes a second time.
            if (late->error() == QKeychain::NoError)
                keyringLoadDone(number, storesBefore, late);
        });
}

void PasswordKeeper::keyringLoadDone(quint64 loadNumber, quint64 storesBefore,
                                     const QKeychain::Job* done) {
    if (loadNumber != loads_ || storesBefore != stores_)
        return; // a newer load() or store() took over
    const auto* read = static_cast<const QKeychain::ReadPasswordJob*>(done);
    const bool found = read && read->error() == QKeychain::NoError;
    password_ = found ? read->textData() : QString();
    place_ = password_.isEmpty() ? Place::Nowhere : Place::Keyring;
    lastError_.clear();
    if (done && (done->error() == QKeychain::AccessDenied ||
                 done->error() == QKeychain::AccessDeniedByUser))
        lastError_ =
            QStringLiteral("Kein Zugriff auf den Schlüsselbund: %1").arg(done->errorString());
    Q_EMIT loaded();
}

void PasswordKeeper::loadFromFile() {
    const QString path = fallbackFilePath();
    QFile file(path);
    password_.clear();
    place_ = Place::Nowhere;
    lastError_.clear();
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = cannotRead(path, file.errorString());
    } else {
        const QByteArray bytes = file.read(kMaxPasswordFileBytes + 1);
        if (file.error() != QFileDevice::NoError)
            lastError_ = cannotRead(path, file.errorString());
        else if (bytes.size() > kMaxPasswordFileBytes)
            lastError_ = cannotRead(path, QStringLiteral("die Datei ist zu groß"));
        else
            password_ = QString::fromUtf8(bytes);
        // A line end added by an editor is no part of the password.
        while (password_.endsWith(u'\n') || password_.endsWith(u'\r'))
            password_.chop(1);
        if (!password_.isEmpty())
            place_ = Place::File;
    }
    Q_EMIT loaded();
}

QString WritePrivateFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath()); // when it fails, so does the open below
#ifdef Q_OS_UNIX
    // The file exists with mode 0600 before the content comes: AtomicFile gives its
    // temporary file the existing file's mode before writing a byte into it. fchmod and
    // chmod set the mode whatever the umask says.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        const bool privateMode = ::fchmod(fd, 0600) == 0;
        const int error = errno;
        ::close(fd);
        if (!privateMode)
            return qt_error_string(error);
    } else if (errno != EEXIST) {
        return qt_error_string(errno);
    } else if (::chmod(native.constData(), 0600) != 0) {
        return qt_error_string(errno);
    }
#endif
    AtomicFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit())
        return file.errorString();
    return {};
}
