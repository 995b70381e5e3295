// Runs other programs from tests through the shell.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace quillon::testing {

// Returns what command, run by the shell, wrote to its standard output; "" when the shell
// could not be started.
inline std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// Returns whether every one of programs is found on the PATH.
inline bool Installed(std::initializer_list<const char*> programs) {
  for (const char* program : programs) {
    if (std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace quillon::testing
