// What every quillon subcommand works with: its output streams, the console message box and
// the exit status it leaves.
#pragma once

#include <ostream>

#include "cli/ConsoleMessageBox.h"

namespace quillon::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a message reported a failure or a refusal
inline constexpr int kExitUsage = 2;

struct CommandContext {
  std::ostream& out;
  std::ostream& err;
  ConsoleMessageBox& messages;
  int exitCode = kExitSuccess;
};

}  // namespace quillon::cli
