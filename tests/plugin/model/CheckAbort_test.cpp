// The abort check of long optimisations: every 50th call drains the thread's message queue,
// turning Escape into a question and delivering everything else to its window.
#include <gtest/gtest.h>

#include <vector>

#include "model/Analyze.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace tessaro {
namespace {

class CheckAbortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetPlatform();
        platform::SetCurrentPerson(&person);
        AbortRequested = false;
        window = platform::CreateWindow(
            [this](platform::WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) {
                received.push_back(message);
                return std::intptr_t{0};
            });
    }
    void TearDown() override {
        platform::SetCurrentPerson(nullptr);
        AbortRequested = false;
        platform::ResetPlatform();
    }
    // Calls CheckAbort up to and including the next call that looks at the queue; returns
    // how many calls went before it.
    int CallsUntilQueueDrained() {
        int before = 0;
        while ((static_cast<std::uint32_t>(AbortCheckCount()) + 1) % 50 != 0) {
            CheckAbort();
            ++before;
        }
        CheckAbort();
        return before;
    }

    platform::ScriptedPerson person;
    platform::WindowHandle window = 0;
    std::vector<std::uint32_t> received;
};

TEST_F(CheckAbortTest, EscapeAsksOtherMessagesReachTheirWindow) {
    struct Case {
        std::uint32_t keyMessage;
        platform::Button answer;
        bool aborts;
    };
    const Case cases[] = {
        {platform::WM_KEYDOWN, platform::Button::Yes, true},
        {platform::WM_SYSKEYDOWN, platform::Button::Yes, true},
        {platform::WM_KEYDOWN, platform::Button::No, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyMessage);
        AbortRequested = false;
        received.clear();
        platform::PostMessage(window, platform::WM_USER + 1);
        platform::PostMessage(window, c.keyMessage, platform::VK_ESCAPE);
        platform::PostMessage(window, platform::WM_KEYDOWN, 'A');
        // Until the 50th call nothing happens.
        const int idle = (50 - (static_cast<int>(AbortCheckCount()) + 1) % 50) % 50;
        for (int i = 0; i < idle; ++i) CheckAbort();
        EXPECT_TRUE(received.empty());
        EXPECT_FALSE(AbortRequested);

        person.ExpectDialog("Confirm", c.answer, "Abort Pin/Net Optimization Yes/No?");
        CheckAbort();
        EXPECT_EQ(person.Remaining(), 0u);
        EXPECT_EQ(AbortRequested, c.aborts);
        // The Escape key never reaches a window; the rest arrive in order.
        EXPECT_EQ(received,
                  (std::vector<std::uint32_t>{platform::WM_USER + 1, platform::WM_KEYDOWN}));
        platform::Message left;
        EXPECT_FALSE(platform::PeekMessage(left, false));
    }
}

TEST_F(CheckAbortTest, AfterAnAbortNothingIsCountedOrLookedAt) {
    AbortRequested = true;
    const std::int32_t count = AbortCheckCount();
    platform::PostMessage(window, platform::WM_USER);
    for (int i = 0; i < 120; ++i) CheckAbort();
    EXPECT_EQ(AbortCheckCount(), count);
    EXPECT_TRUE(received.empty());
}

TEST_F(CheckAbortTest, TheCounterRunsOnAcrossRuns) {
    CallsUntilQueueDrained();
    platform::PostMessage(window, platform::WM_USER);
    EXPECT_EQ(CallsUntilQueueDrained(), 49);
    EXPECT_EQ(received, std::vector<std::uint32_t>{platform::WM_USER});
}

}  // namespace
}  // namespace tessaro
