// Ports and bridges this user may not open: noticed once, in German, naming the device
// and the group to join; tried again silently; taken as soon as the modes allow it.
#include "bridge_tree.h"
#include "link/cp210x_bridges.h"
#include "link/link_notice.h"
#include "link_test_util.h"
#include "pty_fixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QString kCure = QStringLiteral(": Benutzer in die Gruppe '%1' aufnehmen und neu anmelden");

// While it lives, file modes bind this process even as root: the effective capabilities
// that override them are lowered (they stay permitted and come back at the end).
class FileModesBind {
public:
    FileModesBind() { ok_ = setOverrides(false) && modesBind(); }
    ~FileModesBind() { setOverrides(true); }
    bool ok() const { return ok_; }

private:
    static bool setOverrides(bool on) {
        if (::geteuid() != 0)
            return true;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
        if (::syscall(SYS_capget, &header, data) != 0)
            return false;
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
            auto& effective = data[CAP_TO_INDEX(cap)].effective;
            effective = on ? effective | CAP_TO_MASK(cap) : effective & ~CAP_TO_MASK(cap);
        }
        return ::syscall(SYS_capset, &header, data) == 0;
    }
    // A file of our own without any permission must now refuse us.
    static bool modesBind() {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("probe")));
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0);
        if (fd < 0)
            return false;
        ::close(fd);
        const int again = ::open(path.constData(), O_RDONLY);
        if (again >= 0)
            ::close(again);
        return again < 0 && errno == EACCES;
    }
    bool ok_ = false;
};

// The group a test gives its devices: dialout as root, else the user's own group.
gid_t deviceGroup() {
    if (::geteuid() == 0)
        if (const group* dialout = ::getgrnam("dialout"))
            return dialout->gr_gid;
    return ::getegid();
}

QString groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString();
}

// Gives `path` to the test's group, readable and writable by that group alone: its owner
// (this process) may not open it.
bool restrict(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), ::geteuid(), deviceGroup()) == 0 &&
           ::chmod(name.constData(), 0060) == 0;
}

bool allow(const QString& path) {
    return ::chmod(QFile::encodeName(path).constData(), 0660) == 0;
}

// ---- The serial link's reaction, driven through the fake port ----

class DeniedComPort : public FakePortTest {
protected:
    FakeDialogs dialogs;
    NoticeCollector notices;
};

TEST_F(DeniedComPort, IsNoticedOnceAndTriedSilentlyEveryTick) {
    port->denied = true;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(tick()); // the tick runs on: logging is not held up
    EXPECT_EQ(notices.texts, QStringList{"Keine Berechtigung für COM3"});
    EXPECT_EQ(port->logged(QStringLiteral("open COM3")), 5);
    EXPECT_FALSE(comOpen);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(DeniedComPort, IsTakenWhenAllowedAndARefusalAfterThatIsNoticedAgain) {
    port->denied = true;
    tick();
    tick();
    port->denied = false;
    tick();
    ASSERT_TRUE(comOpen);
    port->input = SealedBytes(0, 0x10, {1, 2, 3, 4, 5, 6, 7, 8});
    tick();
    EXPECT_EQ(okCount, 1);

    port->gone = true; // unplugged: reported once by the error report, the port closes
    tick();
    ASSERT_FALSE(comOpen);
    port->gone = false;
    port->denied = true; // back, but with the wrong modes
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(notices.texts.size(), 2);
    EXPECT_EQ(dialogs.errors.size(), 1);
}

TEST_F(DeniedComPort, AnotherRefusedPortIsNoticedToo) {
    port->denied = true;
    tick();
    settings.GL_COM = 4;
    tick();
    tick();
    EXPECT_EQ(notices.texts,
              (QStringList{"Keine Berechtigung für COM3", "Keine Berechtigung für COM4"}));
}

TEST_F(DeniedComPort, AnAbsentPortStaysSilent) {
    port->present = false;
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_TRUE(notices.texts.isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// ---- The notice text and the refusal check, on real files ----

TEST(DeniedDeviceText, NamesTheDeviceAndTheGroupThatOwnsIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(restrict(path));
    const QString group = groupName(deviceGroup());
    EXPECT_EQ(DeniedDeviceText(path, path),
              QStringLiteral("Keine Berechtigung für ") + path + kCure.arg(group));
    EXPECT_EQ(DeniedDeviceText(QStringLiteral("COM2"), path),
              QStringLiteral("Keine Berechtigung für COM2 (%1)").arg(path) + kCure.arg(group));

    // Joining root's group is no cure to suggest; neither is a group of a missing file.
    const QString missing = dir.filePath(QStringLiteral("ttyUSB9"));
    EXPECT_EQ(
        DeniedDeviceText(missing, missing),
        QStringLiteral("Keine Berechtigung für %1: Zugriffsrechte des Geräts prüfen").arg(missing));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 0, 0), 0);
        EXPECT_EQ(DeniedDeviceText(path, path),
                  QStringLiteral("Keine Berechtigung für %1: Zugriffsrechte des Geräts prüfen")
                      .arg(path));
    }
}

TEST(DeviceRefusesUser, OnlyTheModesOfAnExistingFileCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("device"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    FileModesBind modes;
    if (!modes.ok())
        GTEST_SKIP() << "file modes cannot be made to bind this process";
    const struct {
        mode_t mode;
        bool refused;
    } cases[] = {{0600, false}, {0400, true}, {0200, true}, {0060, true}, {0, true}};
    for (const auto& c : cases) {
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);
        EXPECT_EQ(DeviceRefusesUser(path), c.refused) << std::oct << c.mode;
    }
    EXPECT_FALSE(DeviceRefusesUser(dir.filePath(QStringLiteral("absent"))));
}

// ---- End to end: pseudo-terminals with modes that refuse this process ----

class DeniedDevice : public PtyTest {
protected:
    // A fresh pseudo-terminal that this process may not open.
    static std::unique_ptr<PtyLine> refusingLine() {
        auto line = std::make_unique<PtyLine>();
        if (!line->open() || !restrict(line->path()))
            return nullptr;
        return line;
    }

    NoticeCollector notices;
    const QString cure = kCure.arg(groupName(deviceGroup()));
};

TEST_F(DeniedDevice, ComPortIsNoticedOnceAndTakenWhenAllowed) {
    ScriptedUsbXpress usb; // no USB receiver
    settings.GL_COM = 3;
    auto line = refusingLine();
    ASSERT_TRUE(line);
    ASSERT_TRUE(LinkComPort(3, line->path()));
    FileModesBind modes;
    if (!modes.ok())
        GTEST_SKIP() << "file modes cannot be made to bind this process";

    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_FALSE(comOpen);
    EXPECT_EQ(
        notices.texts,
        QStringList{QStringLiteral("Keine Berechtigung für COM3 (%1)").arg(line->path()) + cure});

    ASSERT_TRUE(allow(line->path())); // the user was given the group
    tick();
    ASSERT_TRUE(comOpen);
    send(*line, SealedBytes(17, 0x32));
    tick();
    EXPECT_EQ(tempTelegramCount, 1);

    line->close(); // unplugged; it comes back with the wrong modes
    tick();
    ASSERT_FALSE(comOpen);
    line = refusingLine();
    ASSERT_TRUE(line);
    ASSERT_TRUE(LinkComPort(3, line->path()));
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(notices.texts.size(), 2);
    EXPECT_EQ(dialogs.errors.size(), 1); // only the unplugging
}

TEST_F(DeniedDevice, BridgeIsNoticedOnceAndTakenWhenAllowed) {
    FakeBridgeTree tree;
    Cp210xBridges bridges(tree.sys(), tree.dev());
    const ScopedInstall<UsbXpress> installed(usbXpressSeam, bridges);
    settings.GL_COM = 0;
    const QString tty = QStringLiteral("ttyUSB0"), driver = QStringLiteral("cp210x");
    const QString device = tree.dev() + QLatin1Char('/') + tty;
    auto line = refusingLine();
    ASSERT_TRUE(line);
    tree.plug(tty, driver, QStringLiteral("CP2102 USB to UART Bridge Controller"), line->path());
    FileModesBind modes;
    if (!modes.ok())
        GTEST_SKIP() << "file modes cannot be made to bind this process";

    for (int i = 0; i < 4; ++i)
        tick();
    EXPECT_FALSE(usbOpen);
    EXPECT_EQ(notices.texts,
              QStringList{QStringLiteral("Keine Berechtigung für ") + device + cure});

    ASSERT_TRUE(allow(line->path()));
    tick();
    ASSERT_TRUE(usbOpen);
    send(*line, SealedBytes(17, 0x30));
    tick();
    EXPECT_EQ(tempTelegramCount, 1);

    line->close();
    tree.unplug(tty, driver);
    tick();
    ASSERT_FALSE(usbOpen);
    line = refusingLine();
    ASSERT_TRUE(line);
    tree.plug(tty, driver, QStringLiteral("CP2102 USB to UART Bridge Controller"), line->path());
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(notices.texts.size(), 2);
    EXPECT_TRUE(dialogs.errors.isEmpty()); // the USB link raises nothing
}

} // namespace
