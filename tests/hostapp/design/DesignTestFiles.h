// Files the design-file tests read: fixtures and the bundled example.
#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace design_test {

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string FixturePath(const std::string& name) {
    return std::string(TESSARO_FIXTURE_DIR) + "/" + name;
}

inline std::string ExamplePath(const std::string& name) {
    return std::string(TESSARO_SOURCE_DIR) + "/examples/" + name;
}

}  // namespace design_test
