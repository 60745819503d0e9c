#include "cli/RenderCommand.h"

#include <filesystem>

#include "cli/DesignErrors.h"
#include "generator/BoardGenerator.h"
#include "hostapp/HostApplication.h"
#include "hostapp/design/DesignFile.h"
#include "hostapp/render/SvgRenderer.h"

namespace cli {

int RenderDesign(const RenderOptions& options, std::ostream& err) {
    try {
        auto app = hostapp::HostApplication::Open(options.designPath);
        hostapp::Board* board = app->GetBoard();
        if (!board) {
            err << "tessaro: " << options.designPath << " has no board\n";
            return ExitBadArguments;
        }
        hostapp::WriteBoardSvg(*board, options.outputPath,
                               std::filesystem::path(options.designPath).filename().string());
    } catch (const hostapp::design::DesignFileError& e) {
        err << DescribeDesignError(e, options.designPath) << "\n";
        return ExitBadArguments;
    } catch (const std::exception& e) {
        err << "tessaro: " << e.what() << "\n";
        return ExitBadArguments;
    }
    return ExitRan;
}

int GenerateDesignFile(const GenerateOptions& options, std::ostream& err) {
    try {
        hostapp::design::WriteDesignFile(generator::GenerateDesign(options.generator),
                                         options.outputPath);
    } catch (const std::exception& e) {
        err << "tessaro: " << options.outputPath << ": " << e.what() << "\n";
        return ExitBadArguments;
    }
    return ExitRan;
}

}  // namespace cli
