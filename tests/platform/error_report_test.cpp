#include "platform/app_error.h"
#include "platform/error_report.h"
#include "support/fake_dialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override { ErrorReport::Reset(); }
    void TearDown() override { ErrorReport::Reset(); }
    FakeDialogs dialogs;
};

void failWith(const char* text) {
    throw AppError(QString::fromUtf8(text));
}

TEST_F(ErrorReportTest, AnErrorEndsTheTickAndIsShownWithItsText) {
    bool reachedEnd = false;
    EXPECT_FALSE(ErrorReport::RunTick([&] {
        failWith("Fehler beim Lesen von COM3");
        reachedEnd = true;
    }));
    EXPECT_FALSE(reachedEnd);
    EXPECT_EQ(dialogs.errors, QStringList{"Fehler beim Lesen von COM3"});
}

TEST_F(ErrorReportTest, RecurringTickErrorIsShownOnceUntilATickRunsThrough) {
    for (int i = 0; i < 50; ++i)
        ErrorReport::RunTick([] { failWith("Port weg"); });
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(ErrorReport::SuppressedCount(), 49);

    EXPECT_TRUE(ErrorReport::RunTick([] {}));
    ErrorReport::RunTick([] { failWith("Port weg"); });
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST_F(ErrorReportTest, ADifferentErrorIsShownAtOnce) {
    ErrorReport::RunTick([] { failWith("eins"); });
    ErrorReport::RunTick([] { failWith("zwei"); });
    EXPECT_EQ(dialogs.errors, (QStringList{"eins", "zwei"}));
}

TEST_F(ErrorReportTest, TicksInsideTheOpenBoxAreCountedNotShown) {
    // A real box runs its own message loop, in which ticks go on and may fail again.
    int nestedTicks = 0;
    dialogs.whileErrorShown = [&] {
        for (; nestedTicks < 3; ++nestedTicks)
            ErrorReport::RunTick([] { failWith("anderer Fehler"); });
    };
    ErrorReport::RunTick([] { failWith("erster Fehler"); });
    EXPECT_EQ(dialogs.errors, QStringList{"erster Fehler"});
    EXPECT_EQ(ErrorReport::SuppressedCount(), 3);
}

TEST_F(ErrorReportTest, EachUserActionReportsItsOwnError) {
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(ErrorReport::RunHandler([] { failWith("Druckfehler"); }));
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST_F(ErrorReportTest, ForeignExceptionsAreReportedToo) {
    ErrorReport::RunHandler([] { throw std::runtime_error("disk full"); });
    ErrorReport::RunHandler([] { throw 42; });
    EXPECT_EQ(dialogs.errors, (QStringList{"disk full", "Unbekannter Fehler"}));
}

} // namespace
