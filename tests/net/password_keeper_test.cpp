#include "net/password_keeper.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// No keyring answers in these tests: the session bus named does not exist (as headless, and
// on most servers), so the keeper has to fall back to its file. Set before main(), so that
// no test of this program reaches the user's own keyring, whichever runs first.
const bool kNoKeyring =
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/monidesk-test-bus");

class PasswordKeeperWithoutKeyring : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kNoKeyring);
        QFile::remove(PasswordKeeper::fallbackFilePath());
        oldMask = ::umask(0); // a careless umask must not make the file readable to others
    }
    void TearDown() override {
        ::umask(oldMask);
        QFile::remove(PasswordKeeper::fallbackFilePath());
    }
    static void storeAndWait(PasswordKeeper& keeper, const QString& password) {
        QSignalSpy stored(&keeper, &PasswordKeeper::stored);
        keeper.store(password);
        ASSERT_TRUE(stored.wait(30000));
        ASSERT_TRUE(stored.at(0).at(0).toBool()) << keeper.lastError().toStdString();
    }
    static QString loadAndWait() {
        PasswordKeeper keeper;
        QSignalSpy loaded(&keeper, &PasswordKeeper::loaded);
        keeper.load();
        EXPECT_TRUE(loaded.wait(30000));
        return keeper.password();
    }
    static int fileMode() {
        struct stat info {};
        if (::stat(QFile::encodeName(PasswordKeeper::fallbackFilePath()).constData(), &info) != 0)
            return -1;
        return int(info.st_mode & 0777);
    }
    mode_t oldMask = 0;
};

TEST_F(PasswordKeeperWithoutKeyring, KeepsThePasswordInAFileOnlyTheUserCanRead) {
    PasswordKeeper keeper;
    storeAndWait(keeper, QStringLiteral("geheim äöü"));
    EXPECT_EQ(keeper.place(), PasswordKeeper::Place::File);
    EXPECT_EQ(fileMode(), 0600);
    EXPECT_EQ(loadAndWait(), QStringLiteral("geheim äöü"));
}

TEST_F(PasswordKeeperWithoutKeyring, AFileOthersCouldReadIsMadePrivateBeforeThePasswordGoesIn) {
    const QString path = PasswordKeeper::fallbackFilePath();
    PasswordKeeper keeper;
    storeAndWait(keeper, QStringLiteral("alt"));
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadGroup | QFile::ReadOther));
    storeAndWait(keeper, QStringLiteral("neu"));
    EXPECT_EQ(fileMode(), 0600);
    EXPECT_EQ(loadAndWait(), QStringLiteral("neu"));
}

TEST_F(PasswordKeeperWithoutKeyring, AnEmptyPasswordForgetsTheKeptOne) {
    PasswordKeeper keeper;
    storeAndWait(keeper, QStringLiteral("geheim"));
    storeAndWait(keeper, QString());
    EXPECT_EQ(keeper.place(), PasswordKeeper::Place::Nowhere);
    EXPECT_EQ(loadAndWait(), QString());
}

} // namespace
