// JSON text to a tree, stricter than the library's default: a key repeated within one object
// and nesting deeper than a design file needs are errors, and every error carries the JSON
// pointer of the place where reading stopped.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace hostapp::design::detail {

using Json = nlohmann::ordered_json;

struct JsonReadError {
    std::string jsonPath;
    std::string reason;
};

// Raises JsonReadError.
Json ParseStrictJson(const std::string& text);

// One step of a JSON pointer: "/" and the key with "~" and "/" escaped.
std::string PointerStep(const std::string& key);
std::string PointerStep(std::size_t index);

// The deepest nesting a design file may hold (the devices array included).
constexpr std::size_t kMaxJsonDepth = 64;

}  // namespace hostapp::design::detail
