// The windowing toolkit's application object and its modal message dialogs.
#pragma once

#include <string>
#include <vector>

#include "platform/Person.h"
#include "platform/Platform.h"

namespace ui {

class Application {
  public:
    // The one application object of the module that compiles this toolkit in.
    static Application& Instance();

    // The window that owns every form of this module (the host's main window).
    platform::WindowHandle OwnerWindow() const { return owner_; }
    void SetOwnerWindow(platform::WindowHandle owner) { owner_ = owner; }
    // The application's own window, which receives posted user messages.
    platform::WindowHandle Handle();

    // Takes every pending message off the thread's queue and delivers it to its window.
    void ProcessMessages();
    // The toolkit's idle handling (nothing is pending any more).
    void HandleIdle();
    std::uint64_t IdleCount() const { return idleCount_; }

  private:
    platform::WindowHandle owner_ = 0;
    platform::WindowHandle handle_ = 0;
    std::uint64_t idleCount_ = 0;
};

// The toolkit's default caption of a confirmation box.
inline constexpr const char* ConfirmCaption = "Confirm";

// Shows a modal message dialog, centred on the screen, and returns the button pressed.
platform::Button MessageDialog(platform::DialogKind kind, const std::string& caption,
                               const std::string& text,
                               const std::vector<platform::Button>& buttons);

}  // namespace ui
