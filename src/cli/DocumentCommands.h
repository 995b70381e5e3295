// The document commands: insert, update, list, export and unlink on a .docx, each running the
// routines of the add-in's buttons against the document and a library.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/CommandContext.h"

namespace quillon::cli {

// Adds "insert", "update", "list", "export" and "unlink" to app; they run against context.
// context must outlive app's parse.
void AddDocumentCommands(CLI::App& app, CommandContext& context);

}  // namespace quillon::cli
