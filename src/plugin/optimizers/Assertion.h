// Assertions of the plug-in's own invariants. What a failed assertion does is decided by the
// handler installed for the whole plug-in: the router hook installs one that shows the failure
// and lets execution go on (the router must keep working); without a handler a failed
// assertion raises std::logic_error.
#pragma once

namespace tessaro {

using AssertionHandler = void (*)(const char* file, int line, const char* message);

// Installs the handler for every later failed assertion (nullptr: raise again).
void SetAssertionHandler(AssertionHandler handler);
AssertionHandler CurrentAssertionHandler();
// Reports one failed assertion through the handler.
void AssertionFailed(const char* file, int line, const char* message);

}  // namespace tessaro

#define TESSARO_ASSERT(condition, message) \
    ((condition) ? static_cast<void>(0) : ::tessaro::AssertionFailed(__FILE__, __LINE__, message))
