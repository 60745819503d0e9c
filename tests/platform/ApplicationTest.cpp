#include <vector>

#include "platform/PlatformFixture.h"
#include "ui/Application.h"

using namespace platform;

namespace {

using ApplicationTest = PlatformTest;

TEST_F(ApplicationTest, ProcessMessagesDeliversEachPendingMessageToItsWindowInOrder) {
    std::vector<std::pair<WindowHandle, std::uintptr_t>> delivered;
    auto record = [&](WindowHandle w, std::uint32_t, std::uintptr_t wp, std::intptr_t) {
        delivered.emplace_back(w, wp);
        if (wp == 2) PostMessage(w, WM_USER, 4);  // posted while handling: also delivered
        return std::intptr_t{0};
    };
    WindowHandle a = CreateWindow(record);
    WindowHandle b = CreateWindow(record);
    PostMessage(a, WM_USER, 1);
    PostMessage(0, WM_KEYDOWN, VK_ESCAPE);  // for no window: dropped
    PostMessage(b, WM_USER, 2);
    PostMessage(a, WM_USER, 3);

    ui::Application::Instance().ProcessMessages();

    using D = std::vector<std::pair<WindowHandle, std::uintptr_t>>;
    EXPECT_EQ(delivered, (D{{a, 1}, {b, 2}, {a, 3}, {b, 4}}));
    Message m;
    EXPECT_FALSE(PeekMessage(m, false));
}

TEST_F(ApplicationTest, TheApplicationWindowIsMadeOnceAndAgainAfterTheQueueForgetsIt) {
    auto& app = ui::Application::Instance();
    WindowHandle first = app.Handle();
    EXPECT_TRUE(IsWindow(first));
    EXPECT_EQ(app.Handle(), first);

    PostMessage(app.Handle(), WM_USER);
    app.ProcessMessages();
    Message m;
    EXPECT_FALSE(PeekMessage(m, false)) << "the user message reached the window";

    ResetMessageQueue();
    WindowHandle second = app.Handle();
    EXPECT_NE(second, first);
    EXPECT_TRUE(IsWindow(second));
}

TEST_F(ApplicationTest, OwnerWindowAndIdleCount) {
    auto& app = ui::Application::Instance();
    app.SetOwnerWindow(0x1234);
    EXPECT_EQ(app.OwnerWindow(), 0x1234u);
    std::uint64_t before = app.IdleCount();
    app.HandleIdle();
    app.HandleIdle();
    EXPECT_EQ(app.IdleCount(), before + 2);
    app.SetOwnerWindow(0);
}

}  // namespace
