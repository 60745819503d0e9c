// The thread's message queue and its windows. Everything runs on the one user-interface
// thread, as in the host, so the queue needs no lock; window procedures and the observer
// may post, send and create windows while they run.
#include <utility>

#include "platform/Platform.h"
#include "platform/PlatformState.h"

namespace platform {

using detail::GetState;

WindowHandle CreateWindow(WindowProc proc) {
    auto& state = GetState();
    WindowHandle handle = state.nextWindow++;
    state.windows[handle] = std::move(proc);
    return handle;
}

void DestroyWindow(WindowHandle window) {
    GetState().windows.erase(window);
}

bool IsWindow(WindowHandle window) {
    return GetState().windows.count(window) != 0;
}

bool PeekMessage(Message& out, bool remove) {
    auto& state = GetState();
    ++state.looks;
    // The observer runs before the look, so a key it presses is seen by this very look.
    if (state.queueObserver && !state.observing) {
        auto observer = state.queueObserver;  // it may replace itself while running
        state.observing = true;
        try {
            observer(state.looks);
        } catch (...) {
            state.observing = false;
            throw;
        }
        state.observing = false;
    }
    if (state.queue.empty()) return false;
    out = state.queue.front();
    if (remove) state.queue.pop_front();
    return true;
}

void PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    GetState().queue.push_back(Message{window, message, wParam, lParam});
}

std::intptr_t SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    auto& windows = GetState().windows;
    auto it = windows.find(window);
    if (it == windows.end() || !it->second) return 0;
    // A copy: the procedure may destroy its own window while it runs.
    WindowProc proc = it->second;
    return proc(window, message, wParam, lParam);
}

void SetQueueObserver(std::function<void(std::uint64_t looks)> observer) {
    auto& state = GetState();
    state.queueObserver = std::move(observer);
    state.looks = 0;
}

std::uint64_t QueueLooks() {
    return GetState().looks;
}

void ResetMessageQueue() {
    auto& state = GetState();
    state.queue.clear();
    state.windows.clear();
    state.queueObserver = nullptr;
    state.looks = 0;
    state.observing = false;
}

}  // namespace platform
