#include "hosts/libreoffice/extension/ManagerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace quillon::libreoffice {

std::string ManagerProgram() {
  const char* chosen = std::getenv("QUILLON_MANAGER");
  if (chosen != nullptr && chosen[0] != '\0') return chosen;
#ifdef QUILLON_BUILT_MANAGER
  if (::access(QUILLON_BUILT_MANAGER, X_OK) == 0) return QUILLON_BUILT_MANAGER;
#endif
  return "quillon-manager";
}

std::optional<PickedEntry> PickWithManager(const std::string& program, const std::string& library,
                                           const std::function<void()>& whileWaiting) {
  std::vector<const char*> argv = {program.c_str(), "--pick"};
  if (!library.empty()) argv.push_back(library.c_str());
  argv.push_back(nullptr);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    throw ManagerError("cannot make a pipe: " + std::string(std::strerror(errno)));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  pid_t child = 0;
  int spawned = ::posix_spawnp(&child, program.c_str(), &actions, nullptr,
                               const_cast<char* const*>(argv.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(fds[1]);
  if (spawned != 0) {
    ::close(fds[0]);
    throw ManagerError("cannot run " + program + ": " + std::strerror(spawned));
  }

  std::string output;
  char buffer[4096];
  // The program's output ends when it does (it holds the pipe's only writing end).
  constexpr int kPollMilliseconds = 40;
  for (;;) {
    pollfd ready{fds[0], POLLIN, 0};
    int polled = ::poll(&ready, 1, whileWaiting ? kPollMilliseconds : -1);
    if (polled == 0) {
      try {
        whileWaiting();
      } catch (...) {
        ::close(fds[0]);
        throw;
      }
      continue;
    }
    if (polled < 0 && errno == EINTR) continue;
    ssize_t got = ::read(fds[0], buffer, sizeof buffer);
    if (got > 0) {
      output.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }

  if (WIFSIGNALED(status)) {
    throw ManagerError(program + " was ended by signal " + std::to_string(WTERMSIG(status)));
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == 1 && output.empty()) return std::nullopt;
  if (code != 0) {
    // posix_spawnp reports a missing program through the child's status 127.
    if (code == 127) throw ManagerError("cannot run " + program);
    throw ManagerError(program + " failed with status " + std::to_string(code));
  }
  if (!output.empty() && output.back() == '\n') output.pop_back();
  size_t tab = output.find('\t');
  if (tab == std::string::npos || output.find('\n') != std::string::npos) {
    throw ManagerError(program + " printed no entry: \"" + output + "\"");
  }
  return PickedEntry{output.substr(0, tab), output.substr(tab + 1)};
}

}  // namespace quillon::libreoffice
