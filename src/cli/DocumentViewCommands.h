// The "quillon show" and "quillon fields" commands: read-only views of any .docx.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/CommandContext.h"

namespace quillon::cli {

// Adds "show DOC [--codes]" (the main text as it shows, fields as results or codes) and
// "fields DOC [--json]" (index, start position, page, code and result of each field) to app;
// they run against context. context must outlive app's parse.
void AddDocumentViewCommands(CLI::App& app, CommandContext& context);

}  // namespace quillon::cli
