// Everything the operating-system stand-in remembers, in one place, so that a test can see
// (and reset) the whole of it. Internal to the platform library.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "platform/Platform.h"

namespace platform {
class Person;
}

namespace platform::detail {

struct ModuleEntry {
    ModuleHandle handle = 0;
    std::string name;  // as registered
    Exports exports;
};

struct State {
    // The thread's message queue and the windows of this thread.
    std::deque<Message> queue;
    std::map<WindowHandle, WindowProc> windows;
    WindowHandle nextWindow = 0x10000;
    std::function<void(std::uint64_t)> queueObserver;
    std::uint64_t looks = 0;
    bool observing = false;  // the observer itself looked at the queue: do not recurse

    // Registry keys per root, stored as normalised paths folded to upper case.
    std::set<std::string> localMachineKeys;
    std::set<std::string> currentUserKeys;

    // Named modules, keyed by the name folded to upper case.
    std::map<std::string, ModuleEntry> modules;
    ModuleHandle nextModule = 0x400000;

    // Process exit and standard output.
    std::function<void(int)> exitHandler;
    std::ostream* standardOutput = nullptr;

    // Clock and random seed.
    std::function<TimeOfDay()> clock;
    std::optional<std::uint32_t> fixedSeed;

    // Locale.
    char thousandSeparator = ',';
    char decimalSeparator = '.';

    // Whoever answers; nullptr is the default person who answers nothing.
    Person* currentPerson = nullptr;
};

State& GetState();

// ASCII letters a-z folded to upper case; every other byte as it is.
char FoldUpper(char c);
std::string FoldUpper(std::string_view text);

}  // namespace platform::detail
