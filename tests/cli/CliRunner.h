// Runs the quillon command line in-process and keeps what it printed.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "support/ReadOnly.h"

namespace quillon::cli {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
  bool operator==(const CliRun&) const = default;
};

inline void PrintTo(const CliRun& run, std::ostream* os) {
  *os << "status " << run.status << ", out " << ::testing::PrintToString(run.out) << ", err "
      << ::testing::PrintToString(run.err);
}

// What a refused command gives: status 1, its message alone, and nothing on standard output.
inline CliRun Refused(std::string err) {
  return {1, "", std::move(err)};
}

inline CliRun RunQuillon(std::vector<std::string> args) {
  args.insert(args.begin(), "quillon");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  CliRun run;
  run.status = Run(static_cast<int>(argv.size()), argv.data(), out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// Runs a command that is to succeed, failing the test with its messages when it does not;
// returns what it printed on standard output.
inline std::string Succeeds(std::vector<std::string> args) {
  CliRun run = RunQuillon(std::move(args));
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

// Runs it as the user "nobody" when the tests run as root, so that write protection bites.
inline CliRun RunQuillonAsNobody(std::vector<std::string> args) {
  testing::ScopedUnprivileged nobody;
  return RunQuillon(std::move(args));
}

}  // namespace quillon::cli
