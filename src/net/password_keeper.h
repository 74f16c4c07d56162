#pragma once

#include <QObject>
#include <QString>

namespace QKeychain {
class Job;
}

// Keeps the MQTT password out of the settings store: in the user's keyring where one
// answers, otherwise in a file that only the user can read
// (<per-user data folder>/Velcor_Monidesk/mqtt-password). Every keyring call runs in the
// background and is given up after a short while, so a keyring that does not answer never
// holds up the program: the password is then kept in the file.
//
// The password in memory changes at once with store(); persisting it follows. A file
// holding the password means the last store() did not reach the keyring, so load() reads
// the file first and asks the keyring only when there is none.
class PasswordKeeper : public QObject {
    Q_OBJECT
public:
    enum class Place { Nowhere, Keyring, File };

    explicit PasswordKeeper(QObject* parent = nullptr);
    // A store() the keyring has not answered yet is kept in the file: the program ends, and
    // the password typed last must not be lost.
    ~PasswordKeeper() override;

    // The password as last stored or loaded; empty for none.
    const QString& password() const { return password_; }
    // Where the password has been kept since the last load() or store() answered.
    Place place() const { return place_; }
    // Why the last store() or load() could not keep or read the password, for the user;
    // empty when it could.
    const QString& lastError() const { return lastError_; }

    // Reads the kept password; loaded() follows (also when there is none, or the keyring
    // does not answer in time; should it answer later, loaded() comes again).
    void load();
    // Keeps `password`; an empty one forgets the kept password. stored() follows.
    void store(const QString& password);

    // How long a keyring call may take before the file is used instead.
    void setKeyringTimeout(int milliseconds) { keyringTimeout_ = milliseconds; }

    static QString fallbackFilePath();

Q_SIGNALS:
    void loaded();
    // ok: the password is kept (lastError() says why not otherwise).
    void stored(bool ok);

private:
    void keyringStoreDone(quint64 storeNumber, bool reachedKeyring, bool late);
    void keyringLoadDone(quint64 loadNumber, quint64 storesBefore, const QKeychain::Job* done);
    bool keepInFile();
    void loadFromFile();

    QString password_;
    Place place_ = Place::Nowhere;
    QString lastError_;
    quint64 stores_ = 0; // store() calls so far: an answer for an older one is stale
    quint64 loads_ = 0;
    bool storing_ = false; // a store() waits for the keyring
    int keyringTimeout_ = 3000;
};

// Writes `bytes` to `path` so that only the user can read it, whatever the umask: the file
// exists with mode 0600 before any byte goes in, and is replaced atomically. Returns the
// system's reason when it failed, empty when it worked.
QString WritePrivateFile(const QString& path, const QByteArray& bytes);
