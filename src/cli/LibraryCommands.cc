#include "cli/LibraryCommands.h"

namespace quillon::cli {

void AddLibraryCommands(CLI::App& app, CommandContext& context) {
  (void)app;
  (void)context;
}

}  // namespace quillon::cli
