#include "optimizers/Assertion.h"

#include <stdexcept>
#include <string>

namespace tessaro {

namespace {
AssertionHandler handler = nullptr;
}

void SetAssertionHandler(AssertionHandler newHandler) {
    handler = newHandler;
}

AssertionHandler CurrentAssertionHandler() {
    return handler;
}

void AssertionFailed(const char* file, int line, const char* message) {
    if (handler) {
        handler(file, line, message);
        return;
    }
    throw std::logic_error(std::string(message) + " (" + file + ", line " + std::to_string(line) +
                           ")");
}

}  // namespace tessaro
