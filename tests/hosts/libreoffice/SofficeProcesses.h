// What the tests look at to see that a LibreOffice session left nothing behind: soffice
// processes (by pid, or by a folder named on their command line) and the profile folder.
#pragma once

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include "base/ProcessState.h"

namespace quillon::testing {

// Returns the command line of process pid with blanks for its NULs, "" when it is gone or a
// zombie.
inline std::string CommandLineOf(long pid) {
  if (ProcessEnded(static_cast<pid_t>(pid))) return {};
  std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  std::string line{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  for (char& c : line) {
    if (c == '\0') c = ' ';
  }
  return line;
}

// Returns whether pid is a live soffice.
inline bool SofficeRuns(long pid) {
  return pid > 0 && CommandLineOf(pid).find("soffice") != std::string::npos;
}

// Returns how many live processes mention text on their command line.
inline int ProcessesMentioning(const std::string& text) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (CommandLineOf(std::stol(name)).find(text) != std::string::npos) ++count;
  }
  return count;
}

// Polls condition until it holds or timeout passes; returns its last value.
inline bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

}  // namespace quillon::testing
