// The toolkit's application object. Its own window exists so that the host's idle handling
// can wake the toolkit with a posted user message; nothing else needs it, so it is made on
// first use (and made again if the platform forgot it, as tests do between cases).
#include "ui/Application.h"

namespace ui {

Application& Application::Instance() {
    static Application application;
    return application;
}

platform::WindowHandle Application::Handle() {
    if (handle_ == 0 || !platform::IsWindow(handle_)) {
        handle_ = platform::CreateWindow(
            [](platform::WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
                // Posted user messages only wake the toolkit; there is nothing to do with them.
                return std::intptr_t{0};
            });
    }
    return handle_;
}

void Application::ProcessMessages() {
    platform::Message message;
    while (platform::PeekMessage(message, true)) {
        // Messages for no window (thread messages such as a key press nobody claimed) are
        // taken off the queue and dropped, as the toolkit's loop does.
        if (message.window != 0)
            platform::SendMessage(message.window, message.message, message.wParam, message.lParam);
    }
}

void Application::HandleIdle() {
    ++idleCount_;
}

platform::Button MessageDialog(platform::DialogKind kind, const std::string& caption,
                               const std::string& text,
                               const std::vector<platform::Button>& buttons) {
    platform::Dialog dialog;
    dialog.kind = kind;
    dialog.caption = caption;
    dialog.text = text;
    dialog.buttons = buttons;
    return platform::CurrentPerson().Answer(dialog);
}

}  // namespace ui
