// Wall time of a shell command, for the benchmarks that compare quillon with soffice.
#pragma once

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

namespace quillon::bench {

// Runs command through the shell; returns its wall time in seconds, or -1 (having said which
// command failed) when it exits non-zero.
inline double TimedCommand(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  int status = std::system(command.c_str());
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (status != 0) {
    std::cerr << "failed: " << command << '\n';
    return -1;
  }
  return took.count();
}

}  // namespace quillon::bench
