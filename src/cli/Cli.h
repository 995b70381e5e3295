// The quillon command line.
#pragma once

#include <ostream>

namespace quillon::cli {

// Parses argv and runs the chosen subcommand, writing to out and err. Returns the exit
// status: 0 success, 1 failure or refusal, 2 usage error.
int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace quillon::cli
