// `tessaro render DESIGN --output FILE.svg` and `tessaro generate ... --output FILE.json`.
#pragma once

#include <ostream>

#include "cli/Arguments.h"

namespace cli {

int RenderDesign(const RenderOptions& options, std::ostream& err);
int GenerateDesignFile(const GenerateOptions& options, std::ostream& err);

}  // namespace cli
