// The commands that bring an existing document and library in: "lib import-table", "scan",
// "convert", "lib export-csv" and "lib import-csv".
#pragma once

#include <CLI/CLI.hpp>

#include "cli/CommandContext.h"

namespace quillon::cli {

// Adds "scan" and "convert" to app, and "import-table", "export-csv" and "import-csv" to its
// "lib" subcommand. REQUIRES: the library commands were added first. context must outlive
// app's parse.
void AddMigrationCommands(CLI::App& app, CommandContext& context);

}  // namespace quillon::cli
