// The operating-system stand-in shared by the host and the plug-in: the thread's message
// queue, the registry, named modules and their exports, process exit, the local clock, the
// random seed source and the locale. One shared library, so both sides see the same state.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#define TESSARO_PLATFORM_API __attribute__((visibility("default")))

namespace platform {

// ---- Windows and the thread's message queue --------------------------------------------

using WindowHandle = std::uintptr_t;  // 0 is no window
using WindowProc = std::function<std::intptr_t(WindowHandle, std::uint32_t message,
                                               std::uintptr_t wParam, std::intptr_t lParam)>;

constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_USER = 0x0400;
constexpr std::uintptr_t VK_ESCAPE = 27;

struct Message {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// Creates a window whose procedure receives the messages sent or dispatched to it.
TESSARO_PLATFORM_API WindowHandle CreateWindow(WindowProc proc);
TESSARO_PLATFORM_API void DestroyWindow(WindowHandle window);
TESSARO_PLATFORM_API bool IsWindow(WindowHandle window);
// Looks at the first pending message; with remove set it is taken off the queue.
// Every call counts as one look at the queue (see SetQueueObserver).
TESSARO_PLATFORM_API bool PeekMessage(Message& out, bool remove);
TESSARO_PLATFORM_API void PostMessage(WindowHandle window, std::uint32_t message,
                                      std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
// Delivers a message synchronously to the window's procedure; 0 when the window is unknown.
TESSARO_PLATFORM_API std::intptr_t SendMessage(WindowHandle window, std::uint32_t message,
                                               std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
// Called before every look at the queue with the number of looks so far (1, 2, ...): the
// person at the screen (or a test) can press keys at a chosen moment. Setting an observer
// (or none) starts the count again at 0.
TESSARO_PLATFORM_API void SetQueueObserver(std::function<void(std::uint64_t looks)> observer);
// The number of looks at the queue since the observer was last set.
TESSARO_PLATFORM_API std::uint64_t QueueLooks();
// Empties the queue and forgets every window (tests).
TESSARO_PLATFORM_API void ResetMessageQueue();

// ---- Registry ----------------------------------------------------------------------------

enum class RegistryRoot { LocalMachine, CurrentUser };
TESSARO_PLATFORM_API bool RegistryKeyExists(RegistryRoot root, std::string_view path);
TESSARO_PLATFORM_API void RegistryCreateKey(RegistryRoot root, std::string_view path);
TESSARO_PLATFORM_API void RegistryDeleteKey(RegistryRoot root,
                                            std::string_view path);  // and its subkeys
TESSARO_PLATFORM_API void ResetRegistry();                           // no keys at all (tests)

// ---- Named modules and their exports -----------------------------------------------------

using ModuleHandle = std::uintptr_t;  // 0 is no module
using Exports = std::map<std::string, void*>;

// The host program registers itself under this name; GetModuleHandle("") finds it.
constexpr const char* HostProgramModule = "";
// Makes a module with its exports known under a name (names compare without letter case).
TESSARO_PLATFORM_API ModuleHandle RegisterModule(std::string_view name, Exports exports);
TESSARO_PLATFORM_API void UnregisterModule(std::string_view name);
// The handle of a registered module, or 0.
TESSARO_PLATFORM_API ModuleHandle LoadLibrary(std::string_view name);
TESSARO_PLATFORM_API ModuleHandle GetModuleHandle(std::string_view name);
TESSARO_PLATFORM_API void* GetProcAddress(ModuleHandle module, std::string_view exportName);
TESSARO_PLATFORM_API void ResetModules();  // forgets every module (tests)

// ---- Process ------------------------------------------------------------------------------

// Ends the process with the code. Tests install a handler that throws instead.
[[noreturn]] TESSARO_PLATFORM_API void ExitProcess(int code);
struct ProcessExit {
    int code;
};
// Handler called by ExitProcess; it must not return (throw ProcessExit in tests).
// An empty handler restores the real exit.
TESSARO_PLATFORM_API void SetExitHandler(std::function<void(int)> handler);
// The process's standard output as the plug-in writes it (tests may redirect it).
TESSARO_PLATFORM_API std::ostream& StandardOutput();
TESSARO_PLATFORM_API void SetStandardOutput(std::ostream* stream);  // nullptr: std::cout

// ---- Clock and random seed ------------------------------------------------------------------

struct TimeOfDay {
    std::uint16_t hour = 0, minute = 0, second = 0, millisecond = 0;
};
TESSARO_PLATFORM_API TimeOfDay LocalTime();
// A fixed or scripted clock for tests; an empty function restores the system clock.
TESSARO_PLATFORM_API void SetClock(std::function<TimeOfDay()> clock);
// A seed for a pseudo-random generator: from the clock unless fixed (--seed).
TESSARO_PLATFORM_API std::uint32_t RandomSeed();
TESSARO_PLATFORM_API void SetFixedRandomSeed(std::optional<std::uint32_t> seed);

// ---- Locale --------------------------------------------------------------------------------

TESSARO_PLATFORM_API char ThousandSeparator();  // "," unless set
TESSARO_PLATFORM_API char DecimalSeparator();   // "." unless set
TESSARO_PLATFORM_API void SetSeparators(char thousands, char decimal);
// Text comparison without regard to letter case: <0, 0, >0.
TESSARO_PLATFORM_API int CompareText(std::string_view a, std::string_view b);
TESSARO_PLATFORM_API bool SameText(std::string_view a, std::string_view b);

// ---- Wide texts at the host boundary ----------------------------------------------------------

TESSARO_PLATFORM_API std::u16string Widen(std::string_view utf8);
TESSARO_PLATFORM_API std::string Narrow(std::u16string_view wide);

// ---- Tests ---------------------------------------------------------------------------------

// Puts the whole stand-in back as a fresh process finds it: no messages, windows, keys or
// modules; the real exit, standard output, clock and seed; "," and "."; the default person.
TESSARO_PLATFORM_API void ResetPlatform();

}  // namespace platform
