// The "quillon lib" commands: create, list, add, edit, delete and find library entries.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/CommandContext.h"

namespace quillon::cli {

// Adds the "lib" subcommand and its children to app; they run against context.
// context must outlive app's parse.
void AddLibraryCommands(CLI::App& app, CommandContext& context);

}  // namespace quillon::cli
