#include <sstream>

#include "platform/PlatformFixture.h"

using namespace platform;

namespace {

using ProcessTest = PlatformTest;
using ClockTest = PlatformTest;

TEST_F(ProcessTest, ExitProcessHandsTheCodeToTheHandler) {
    SetExitHandler([](int code) { throw ProcessExit{code}; });
    try {
        ExitProcess(3);
        FAIL() << "ExitProcess returned";
    } catch (const ProcessExit& e) {
        EXPECT_EQ(e.code, 3);
    }
}

TEST_F(ProcessTest, AHandlerThatReturnsStillEndsTheProcessWithTheCode) {
    EXPECT_EXIT(
        {
            SetExitHandler([](int) {});
            StandardOutput() << "written before the end";
            ExitProcess(5);
        },
        ::testing::ExitedWithCode(5), "");
}

TEST_F(ProcessTest, StandardOutputCanBeRedirected) {
    std::ostringstream captured;
    SetStandardOutput(&captured);
    StandardOutput() << "ShowDialogWithCaption withError x\n";
    EXPECT_EQ(captured.str(), "ShowDialogWithCaption withError x\n");
    SetStandardOutput(nullptr);
    EXPECT_EQ(&StandardOutput(), &std::cout);
}

TEST_F(ClockTest, TheSeedFollowsTheClockUntilFixed) {
    SetClock([] { return TimeOfDay{1, 2, 3, 4}; });
    EXPECT_EQ(LocalTime().minute, 2);
    EXPECT_EQ(RandomSeed(), ((1u * 60 + 2) * 60 + 3) * 1000 + 4);
    SetClock([] { return TimeOfDay{1, 2, 3, 5}; });
    EXPECT_EQ(RandomSeed(), ((1u * 60 + 2) * 60 + 3) * 1000 + 5);

    SetFixedRandomSeed(42);
    EXPECT_EQ(RandomSeed(), 42u);
    SetFixedRandomSeed(std::nullopt);
    EXPECT_EQ(RandomSeed(), ((1u * 60 + 2) * 60 + 3) * 1000 + 5);
}

TEST_F(ClockTest, TheSystemClockGivesATimeOfDay) {
    TimeOfDay t = LocalTime();
    EXPECT_LT(t.hour, 24);
    EXPECT_LT(t.minute, 60);
    EXPECT_LT(t.second, 61);
    EXPECT_LT(t.millisecond, 1000);
    EXPECT_LT(RandomSeed(), 24u * 3600 * 1000 + 1000);
}

}  // namespace
