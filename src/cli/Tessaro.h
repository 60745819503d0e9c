// The `tessaro` program: parses its arguments and runs the subcommand they name.
#pragma once

namespace cli {

int Main(int argc, char** argv);

}  // namespace cli
