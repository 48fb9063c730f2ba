// The toolkit timer in a real message loop.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "tests/rig/GuiTest.h"
#include "toolkit/Exception.h"
#include "toolkit/Timer.h"

namespace {
// Milliseconds on a clock that only goes forward.
long long Now() {
    return static_cast<long long>(GetTickCount64());
}
} // namespace

TEST(Timer, TicksAtAboutItsIntervalOnceItHasAHandler) {
    TTimer timer(nullptr);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);

    timer.SetInterval(100);
    PumpFor(300);
    std::vector<long long> ticks;
    std::vector<TObject*> senders;
    const long long start = Now();
    timer.SetOnTimer([&](TObject* sender) {
        ticks.push_back(Now());
        senders.push_back(sender);
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks.size() >= 5; }, 10000));

    // Timers come late under load, never much early. A late tick may be followed closely by the
    // next one (Wine keeps the timer's schedule), so each is held to its own place in it.
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i] - start, static_cast<long long>(100 * (i + 1)) - 20) << i;
    }
    for (TObject* sender : senders) {
        EXPECT_EQ(sender, &timer);
    }
}

TEST(Timer, DisabledOrZeroIntervalGivesNoTicks) {
    TTimer timer(nullptr);
    int count = 0;
    timer.SetEnabled(false);
    timer.SetInterval(50);
    timer.SetOnTimer([&](TObject*) { ++count; });
    PumpFor(400);
    EXPECT_EQ(count, 0);

    timer.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return count >= 2; }));

    timer.SetEnabled(false);
    const int atStop = count;
    PumpFor(400);
    EXPECT_EQ(count, atStop);

    timer.SetEnabled(true);
    timer.SetInterval(0);
    PumpFor(400);
    EXPECT_EQ(count, atStop);

    timer.SetInterval(50);
    EXPECT_TRUE(PumpUntil([&] { return count >= atStop + 2; }));
}

TEST(Timer, EveryWriteStartsAFreshPeriod) {
    TTimer timer(nullptr);
    timer.SetInterval(500);
    std::vector<long long> ticks;
    timer.SetOnTimer([&](TObject*) { ticks.push_back(Now()); });
    ASSERT_TRUE(PumpUntil([&] { return ticks.size() == 1; }));

    // Part way through a period, disable and enable: the next tick is a whole period away,
    // not what was left of the old one.
    PumpFor(300);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    const long long reenabled = Now();
    ASSERT_TRUE(PumpUntil([&] { return ticks.size() == 2; }));
    EXPECT_GE(ticks[1] - reenabled, 400);

    // Writing the same interval restarts too: a repeating button relies on it.
    PumpFor(300);
    timer.SetInterval(500);
    const long long rewritten = Now();
    ASSERT_TRUE(PumpUntil([&] { return ticks.size() == 3; }));
    EXPECT_GE(ticks[2] - rewritten, 400);
}

TEST(Timer, AnErrorInTheHandlerIsReportedAndTheTicksGoOn) {
    ErrorReportRecorder reports;
    TTimer timer(nullptr);
    timer.SetInterval(50);
    int count = 0;
    timer.SetOnTimer([&](TObject*) {
        ++count;
        if (count == 2) {
            throw 42;
        }
        throw Exception("Timer handler failed");
    });
    ASSERT_TRUE(PumpUntil([&] { return count >= 4; }));
    EXPECT_TRUE(timer.Enabled());

    ASSERT_GE(reports.Reports().size(), 4u);
    EXPECT_EQ(reports.Reports()[0].Title, "Toolkit Tests");
    EXPECT_EQ(reports.Reports()[0].Text, "Timer handler failed.");
    EXPECT_EQ(reports.Reports()[1].Text, "Unknown error.");
    EXPECT_EQ(reports.Reports()[3].Text, "Timer handler failed.");
}

TEST(Timer, StopsWhenDestroyedByItsOwnerOrItsOwnHandler) {
    int ownedCount = 0;
    auto* owner = new TComponent(nullptr);
    auto* owned = new TTimer(owner);
    owned->SetInterval(30);
    owned->SetOnTimer([&](TObject*) { ++ownedCount; });
    ASSERT_TRUE(PumpUntil([&] { return ownedCount >= 1; }));
    delete owner;
    const int afterDelete = ownedCount;
    PumpFor(300);
    EXPECT_EQ(ownedCount, afterDelete);

    int selfCount = 0;
    auto* self = new TTimer(nullptr);
    self->SetInterval(30);
    self->SetOnTimer([&selfCount, &self](TObject* sender) {
        ++selfCount;
        EXPECT_EQ(sender, self);
        delete self;
        self = nullptr;
    });
    ASSERT_TRUE(PumpUntil([&] { return selfCount >= 1; }));
    PumpFor(300);
    EXPECT_EQ(selfCount, 1);
    EXPECT_EQ(self, nullptr);
}
