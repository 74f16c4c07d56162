#include "support/fake_clock.h"
#include "support/fake_dialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(Doubles, ANestedDoublePutsBackTheOuterOneNotTheProgramsOwn) {
    const QDateTime outerTime(QDate(2026, 12, 7), QTime(10, 0, 0));
    FakeDialogs outerDialogs;
    FakeClock outerClock(outerTime);
    {
        FakeDialogs innerDialogs;
        FakeClock innerClock(outerTime.addDays(1));
        EXPECT_EQ(Now(), outerTime.addDays(1));
    }
    // The program's own dialogs would be modal boxes here.
    EXPECT_EQ(dialogsSeam.installed(), &outerDialogs);
    EXPECT_EQ(Now(), outerTime);
}

} // namespace
