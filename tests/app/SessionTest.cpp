// One calendar per session, two in one process standing for two starts: the second reaches the
// first through the session's mapping, and a first that does not answer holds it only briefly.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/Session.h"

namespace {
TEST(Session, ASecondStartAsksTheFirstToRestoreAndAFirstThatDoesNotAnswerHoldsItOnlyBriefly) {
    std::atomic<int> restores{0};
    // 0 while the first starts, then 1 when it listens, 2 when another calendar was there first.
    std::atomic<int> firstState{0};
    std::atomic<bool> answering{true};
    std::atomic<bool> silent{false};
    std::atomic<bool> ending{false};
    std::thread first([&] {
        TSessionCalendar session;
        session.Listen([&] { ++restores; });
        firstState = session.First() ? 1 : 2;
        while (!ending) {
            MSG msg{};
            if (!answering) {
                silent = true;
            }
            while (!silent && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&msg);
            }
            Sleep(10);
        }
    });
    while (firstState == 0) {
        Sleep(10);
    }
    if (firstState != 1) {
        ending = true;
        first.join();
        FAIL() << "a calendar of this session ran before the test";
    }
    {
        TSessionCalendar second;
        EXPECT_FALSE(second.First());
        second.BringBackRunning();
        EXPECT_EQ(restores, 1);
    }
    // Once silent, the first takes no more messages at all.
    answering = false;
    while (!silent) {
        Sleep(10);
    }
    {
        TSessionCalendar second;
        const ULONGLONG start = GetTickCount64();
        second.BringBackRunning();
        EXPECT_LT(GetTickCount64() - start, 10000u);
        EXPECT_EQ(restores, 1);
    }
    ending = true;
    first.join();

    // Once the first has ended, the next start is the first again.
    TSessionCalendar next;
    EXPECT_TRUE(next.First());
}
} // namespace
