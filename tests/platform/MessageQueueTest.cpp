#include <vector>

#include "platform/PlatformFixture.h"

using namespace platform;

namespace {

using MessageQueueTest = PlatformTest;

TEST_F(MessageQueueTest, MessagesLeaveInTheOrderTheyWerePosted) {
    PostMessage(7, WM_USER, 1, 10);
    PostMessage(8, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessage(7, WM_USER + 1, 3, -30);

    std::vector<Message> seen;
    Message m;
    while (PeekMessage(m, true)) seen.push_back(m);

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].window, 7u);
    EXPECT_EQ(seen[0].lParam, 10);
    EXPECT_EQ(seen[1].message, WM_KEYDOWN);
    EXPECT_EQ(seen[1].wParam, VK_ESCAPE);
    EXPECT_EQ(seen[2].message, WM_USER + 1);
    EXPECT_EQ(seen[2].lParam, -30);
}

TEST_F(MessageQueueTest, PeekWithoutRemovalLeavesTheMessageFirst) {
    PostMessage(1, WM_USER, 5);
    PostMessage(1, WM_USER, 6);

    Message m;
    ASSERT_TRUE(PeekMessage(m, false));
    EXPECT_EQ(m.wParam, 5u);
    ASSERT_TRUE(PeekMessage(m, false));
    EXPECT_EQ(m.wParam, 5u);
    ASSERT_TRUE(PeekMessage(m, true));
    EXPECT_EQ(m.wParam, 5u);
    ASSERT_TRUE(PeekMessage(m, true));
    EXPECT_EQ(m.wParam, 6u);
    EXPECT_FALSE(PeekMessage(m, true));
}

TEST_F(MessageQueueTest, SendCallsTheWindowProcedureAtOnceAndReturnsItsResult) {
    std::vector<std::uint32_t> received;
    WindowHandle w = CreateWindow([&](WindowHandle self, std::uint32_t msg, std::uintptr_t wp,
                                      std::intptr_t lp) -> std::intptr_t {
        received.push_back(msg);
        return static_cast<std::intptr_t>(self) + static_cast<std::intptr_t>(wp) + lp;
    });
    PostMessage(w, WM_USER);  // posted messages wait; a send does not

    EXPECT_EQ(SendMessage(w, WM_USER + 2, 3, 4), static_cast<std::intptr_t>(w) + 7);
    EXPECT_EQ(received, std::vector<std::uint32_t>{WM_USER + 2});
    EXPECT_EQ(SendMessage(w + 1000, WM_USER), 0) << "unknown window";
}

TEST_F(MessageQueueTest, AWindowMayDestroyItselfWhileHandlingAMessage) {
    int calls = 0;
    WindowHandle w = 0;
    w = CreateWindow([&](WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
        ++calls;
        DestroyWindow(w);
        return std::intptr_t{1};
    });
    EXPECT_EQ(SendMessage(w, WM_USER), 1);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SendMessage(w, WM_USER), 0);
    EXPECT_EQ(calls, 1);
}

TEST_F(MessageQueueTest, ObserverCountsEveryLookAndItsKeyIsSeenByThatLook) {
    std::vector<std::uint64_t> looks;
    SetQueueObserver([&](std::uint64_t n) {
        looks.push_back(n);
        if (n == 3) PostMessage(0, WM_KEYDOWN, VK_ESCAPE);
    });

    Message m;
    EXPECT_FALSE(PeekMessage(m, false));
    EXPECT_FALSE(PeekMessage(m, true));
    ASSERT_TRUE(PeekMessage(m, false));  // the third look sees the key pressed before it
    EXPECT_EQ(m.wParam, VK_ESCAPE);
    ASSERT_TRUE(PeekMessage(m, true));
    EXPECT_FALSE(PeekMessage(m, true));

    EXPECT_EQ(looks, (std::vector<std::uint64_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(QueueLooks(), 5u);
}

TEST_F(MessageQueueTest, SettingAnObserverStartsTheCountAgain) {
    Message m;
    PeekMessage(m, false);
    PeekMessage(m, false);
    std::uint64_t first = 0;
    SetQueueObserver([&](std::uint64_t n) {
        if (!first) first = n;
    });
    PeekMessage(m, false);
    EXPECT_EQ(first, 1u);
}

TEST_F(MessageQueueTest, AnObserverThatLooksAtTheQueueIsNotCalledAgainFromWithin) {
    int calls = 0;
    SetQueueObserver([&](std::uint64_t) {
        ++calls;
        Message inner;
        PeekMessage(inner, false);
    });
    Message m;
    PeekMessage(m, false);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(QueueLooks(), 2u) << "the observer's own look still counts";
}

TEST_F(MessageQueueTest, ResetEmptiesTheQueueAndForgetsWindowsAndObserver) {
    int observed = 0;
    WindowHandle w = CreateWindow([](WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
        return std::intptr_t{9};
    });
    SetQueueObserver([&](std::uint64_t) { ++observed; });
    PostMessage(w, WM_USER);

    ResetMessageQueue();

    Message m;
    EXPECT_FALSE(PeekMessage(m, true));
    EXPECT_EQ(observed, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SendMessage(w, WM_USER), 0);
    EXPECT_NE(CreateWindow(nullptr), w) << "a handle is never given out twice";
}

}  // namespace
