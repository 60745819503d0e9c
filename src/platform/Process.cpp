// Ending the process and its standard output. The command line replaces the exit with its
// own (it writes its transcript first); tests replace it with one that throws ProcessExit.
#include <cstdlib>
#include <iostream>
#include <utility>

#include "platform/Platform.h"
#include "platform/PlatformState.h"

namespace platform {

void ExitProcess(int code) {
    auto handler = detail::GetState().exitHandler;
    if (handler) handler(code);
    // No handler, or one that broke its promise and returned: end for real, without losing
    // what was already written.
    StandardOutput().flush();
    std::cout.flush();
    std::cerr.flush();
    std::exit(code);
}

void SetExitHandler(std::function<void(int)> handler) {
    detail::GetState().exitHandler = std::move(handler);
}

std::ostream& StandardOutput() {
    auto* stream = detail::GetState().standardOutput;
    return stream ? *stream : std::cout;
}

void SetStandardOutput(std::ostream* stream) {
    detail::GetState().standardOutput = stream;
}

}  // namespace platform
