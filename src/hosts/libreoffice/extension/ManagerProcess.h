// The library manager as a process of its own: the Writer extension's Quillon button runs
// `quillon-manager --pick [LIBRARY]`, which prints the entry the user chose as
// "abbreviation<TAB>meaning". Error rule: PickWithManager throws ManagerError (saying why)
// when the program cannot be run or prints something else.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace quillon::libreoffice {

class ManagerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PickedEntry {
  std::string abb;
  std::string text;
};

// Returns the manager program to run: $QUILLON_MANAGER when set, else the quillon-manager built
// together with the extension when it is still there, else "quillon-manager" (found in PATH).
std::string ManagerProgram();

// Runs program with "--pick" and library (left out when empty) as its arguments, directly
// (no shell), and waits for it, calling whileWaiting (when set) every few hundredths of a
// second meanwhile, so that the caller's windows stay alive. Returns the pair it printed;
// std::nullopt when the user closed the window without a choice (the program ends with status
// 1 and prints nothing). Throws ManagerError when it cannot be started, is killed, fails
// otherwise or prints no pair; what whileWaiting throws ends the wait (the program is left
// to finish on its own).
std::optional<PickedEntry> PickWithManager(const std::string& program, const std::string& library,
                                           const std::function<void()>& whileWaiting = {});

}  // namespace quillon::libreoffice
