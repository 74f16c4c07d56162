// A COM link that leads nowhere for a while: the transmitter simulator stopped and
// started again, an adapter re-linked. The program must take the linked line again each
// time and never read the built-in port in its place. Runs in a child process with mounts
// of its own, where a spare pseudo-terminal stands in for /dev/ttyS0: no real port is
// touched, and the test sees whether anyone opened the stand-in.
#include "link_test_util.h"
#include "pty_fixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kNoPrivateMounts = 77;
constexpr int kSettleMs = 10000; // bound on a change being taken up; never reached

// Runs `body` in a child process with a mount namespace of its own: pseudo-terminals of
// its own where the system allows it (numbers the simulator frees are not taken by other
// processes meanwhile), and a spare one bound over /dev/ttyS0. Returns the child's exit
// code: 0 when `body` raised no failure, kNoPrivateMounts when the mounts were refused.
int inPrivateMounts(const std::function<void(PtyLine& ttyS0)>& body) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(kNoPrivateMounts);
        if (::mount("devpts", "/dev/pts", "devpts", 0, "newinstance,ptmxmode=0666") == 0)
            ::mount("/dev/pts/ptmx", "/dev/ptmx", nullptr, MS_BIND, nullptr);
        PtyLine spare;
        if (!spare.open() || ::mount(QFile::encodeName(spare.path()).constData(), "/dev/ttyS0",
                                     nullptr, MS_BIND, nullptr) != 0)
            ::_exit(kNoPrivateMounts);
        body(spare);
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The transmitter simulator as a user runs it, `monidesk-sim --link-com <n>`, stopped
// with Ctrl+C.
class Simulator {
public:
    explicit Simulator(int com) {
        const std::string number = std::to_string(com);
        const char* argv[] = {MONIDESK_SIM, "--link-com", number.c_str(), "--rate",
                              "10",         "--quiet",    nullptr};
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (::posix_spawn(&pid_, MONIDESK_SIM, &actions, nullptr, const_cast<char**>(argv),
                          environ) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~Simulator() { stop(); }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool running() const { return pid_ > 0; }
    // Ctrl+C; the simulator's exit code.
    int stop() {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, SIGINT);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
};

class ComRelink : public PtyTest {
protected:
    void SetUp() override {
        PtyTest::SetUp();
        settings.GL_COM = 1; // falls back to /dev/ttyS0 where no link was ever made
        ErrorReport::Reset();
    }
    void TearDown() override {
        ErrorReport::Reset();
        PtyTest::TearDown();
    }

    // Ticks as the program does, about every 20 ms, until `done` (feeding the lines
    // with `between` before each tick); false if that never happens.
    bool tickUntil(const std::function<bool()>& done, const std::function<void()>& between = {}) {
        const QDeadlineTimer deadline(kSettleMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            if (between)
                between();
            tick();
            QThread::msleep(20);
        }
        return true;
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            tick();
    }
    static void expectVerdict(int verdict) {
        if (verdict == kNoPrivateMounts)
            GTEST_SKIP() << "no private mount namespace with a stand-in for /dev/ttyS0";
        EXPECT_EQ(verdict, 0) << "the child process reported failures (see above)";
    }
    // Every report names COM1 as gone: nothing about permissions of /dev/ttyS0.
    void expectOnlyGoneReports(int count) const {
        EXPECT_EQ(dialogs.errors.size(), count) << dialogs.errors.join('\n').toStdString();
        for (const QString& text : dialogs.errors)
            EXPECT_TRUE(text.startsWith(QStringLiteral("COM1 ist nicht mehr verfügbar")))
                << text.toStdString();
        EXPECT_TRUE(notices.texts.isEmpty()) << notices.texts.join('\n').toStdString();
    }

    ScriptedUsbXpress usb; // no USB receiver
    NoticeCollector notices;
    // Waits on the stand-in for /dev/ttyS0: whoever opens it purges it.
    const QByteArray onBuiltInPort = SealedBytes(0, 0x10, {9, 9, 9, 9, 9, 9, 9, 9});
};

TEST_F(ComRelink, SimulatorStoppedAndStartedTwentyTimesIsTakenAgainEveryTime) {
    expectVerdict(inPrivateMounts([this](PtyLine& ttyS0) {
        ticks(3); // no link ever made: "COM1" is the built-in port
        EXPECT_TRUE(comOpen);
        for (int round = 0; round < 20; ++round) {
            SCOPED_TRACE(round);
            const int before = okCount;
            Simulator simulator(1);
            ASSERT_TRUE(simulator.running());
            ASSERT_TRUE(tickUntil([&] { return okCount > before; }));
            if (round == 0) // the program has left it for the link
                send(ttyS0, onBuiltInPort);
            ASSERT_EQ(simulator.stop(), 0);
            EXPECT_TRUE(QFileInfo(DosDevicesFolder() + QStringLiteral("/com1")).isSymLink());
            ASSERT_TRUE(tickUntil([] { return !comOpen; }));
            ticks(3); // while it is stopped
            EXPECT_FALSE(comOpen);
        }
        expectOnlyGoneReports(20); // one for each stop
        EXPECT_EQ(crcErrorCount, 0);
        EXPECT_EQ(ttyS0.pending(), onBuiltInPort.size()); // nobody opened it
    }));
}

TEST_F(ComRelink, DanglingLinkIsAGonePortUntilItLeadsToALineAgain) {
    expectVerdict(inPrivateMounts([this](PtyLine& ttyS0) {
        send(ttyS0, onBuiltInPort);
        const QString link = DosDevicesFolder() + QStringLiteral("/com1");
        { // a link left dangling before the program started
            PtyLine earlier;
            ASSERT_TRUE(earlier.open());
            ASSERT_TRUE(LinkComPort(1, earlier.path()));
        }
        ticks(5);
        EXPECT_FALSE(comOpen);

        auto line = std::make_unique<PtyLine>(); // the link leads to a line again
        ASSERT_TRUE(line->open());
        ASSERT_TRUE(LinkComPort(1, line->path()));
        tick();
        ASSERT_TRUE(comOpen);
        send(*line, SealedBytes(17, 0x30));
        tick();
        EXPECT_EQ(okCount, 1);

        line.reset(); // gone under the open port; the link dangles, then is removed
        ticks(5);
        EXPECT_FALSE(comOpen);
        ASSERT_TRUE(QFile::remove(link));
        ticks(5);
        EXPECT_FALSE(comOpen);

        line = std::make_unique<PtyLine>();
        ASSERT_TRUE(line->open());
        ASSERT_TRUE(LinkComPort(1, line->path()));
        tick();
        ASSERT_TRUE(comOpen);
        // Another adapter is linked while the port is open: the program moves to it.
        PtyLine other;
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(LinkComPort(1, other.path()));
        const QByteArray telegram = SealedBytes(17, 0x31);
        ASSERT_TRUE(tickUntil([] { return okCount == 2; },
                              [&] {
                                  if (other.pending() == 0) // the move purges it
                                      send(other, telegram);
                              }));
        EXPECT_EQ(tempTelegramCount, 2);

        expectOnlyGoneReports(1);
        EXPECT_EQ(ttyS0.pending(), onBuiltInPort.size());
    }));
}

} // namespace
