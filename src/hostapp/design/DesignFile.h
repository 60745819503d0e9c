// Reading and writing design files. Reading is strict: the first problem raises
// DesignFileError naming the file, the JSON path and the reason, and nothing is loaded.
// Writing is byte-stable: writing what was read from a written file gives the same bytes.
#pragma once

#include <cstdint>
#include <optional>
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
// Raises std::invalid_argument for data no design file can hold (a layer the format cannot
// name, text that is not UTF-8, devicesJson that is not a JSON array).
std::string SerializeDesign(const DesignData& design);
// Writes atomically (a temporary file renamed over the target). The text is read back before
// anything is replaced: a design that would not load again raises DesignFileError and leaves
// the target as it was.
void WriteDesignFile(const DesignData& design, const std::string& path);

// Lengths and coordinates between a file's unit and internal units. ToInternal rounds to the
// nearest whole internal unit and raises std::out_of_range beyond the board's 32-bit range.
std::int32_t ToInternal(double value, Unit unit);
double FromInternal(std::int32_t value, Unit unit);
// The shortest decimal text in `unit` that reads back as exactly `value` internal units
// ("1" for one millimetre's worth in a millimetre file). What SerializeDesign writes.
std::string LengthToText(std::int32_t value, Unit unit);
// "mm", "mil", "internal".
std::string UnitToText(Unit unit);

// Layer names of the file format: "top", "bottom", "mid1".."mid30", "multi", or numbers.
std::string LayerToText(int layer);
// The layer number of a name of the file format; nullopt for anything else.
std::optional<int> LayerFromText(const std::string& name);
// Layers a design file can hold: 1..32 (signal layers) and 74 (multi-layer).
bool IsDesignLayer(int layer);

}  // namespace hostapp::design
