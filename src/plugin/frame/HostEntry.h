// Entries the host calls on the plug-in must never let an exception reach the host: any error
// ends the current operation and becomes a failure status. Only the platform's process exit
// passes through, because it stands for the process ending at that point, not for an error.
#pragma once

#include "host/HostTypes.h"
#include "platform/Platform.h"

namespace tessaro {

template <class Body>
host::Status GuardedEntry(Body&& body, host::Status failure = host::E_UNEXPECTED) {
    try {
        return body();
    } catch (const platform::ProcessExit&) {
        throw;
    } catch (...) {
        return failure;
    }
}

// An out-argument the host must provide; a missing one fails the entry like any error.
template <class T>
T& OutArgument(T* out) {
    if (out == nullptr) throw host::HostError(host::E_POINTER, "missing out-argument");
    return *out;
}

}  // namespace tessaro
