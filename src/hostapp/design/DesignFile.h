// Reading and writing design files. Reading is strict: the first problem raises
// DesignFileError naming the file, the JSON path and the reason, and nothing is loaded.
// Writing is byte-stable: writing what was read from a written file gives the same bytes.
#pragma once

#include <stdexcept>
#include <string>

#include "hostapp/design/DesignData.h"

namespace hostapp::design {

class DesignFileError : public std::runtime_error {
public:
    DesignFileError(std::string file, std::string jsonPath, std::string reason);
    const std::string& file() const { return file_; }
    const std::string& jsonPath() const { return jsonPath_; }  // e.g. "/board/tracks/3/layer"
    const std::string& reason() const { return reason_; }

private:
    std::string file_, jsonPath_, reason_;
};

DesignData ReadDesignFile(const std::string& path);
DesignData ParseDesign(const std::string& text, const std::string& fileNameForErrors);
std::string SerializeDesign(const DesignData& design);
// Writes atomically (a temporary file renamed over the target).
void WriteDesignFile(const DesignData& design, const std::string& path);

// Lengths and coordinates between a file's unit and internal units.
std::int32_t ToInternal(double value, Unit unit);
double FromInternal(std::int32_t value, Unit unit);

// Layer names of the file format: "top", "bottom", "mid1".."mid30", "multi", or numbers.
std::string LayerToText(int layer);

}  // namespace hostapp::design
