// How the command reports a design file it cannot use.
#pragma once

#include <string>

#include "hostapp/design/DesignFile.h"

namespace cli {

// "FILE: JSON-PATH: REASON" (the path left out when the problem is the file as a whole).
std::string DescribeDesignError(const hostapp::design::DesignFileError& error,
                                const std::string& designPath);

}  // namespace cli
