#include "cli/DesignErrors.h"

namespace cli {

std::string DescribeDesignError(const hostapp::design::DesignFileError& error,
                                const std::string& designPath) {
    std::string text = error.file().empty() ? designPath : error.file();
    if (!error.jsonPath().empty()) text += ": " + error.jsonPath();
    return text + ": " + error.reason();
}

}  // namespace cli
