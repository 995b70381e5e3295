// Runs the built quillon program as a process of its own, for the cases where two commands
// meet: standard output and error go to files and are read back when it ends.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/TempDir.h"

extern char** environ;

namespace quillon::cli {

class QuillonProcess {
 public:
  // Starts quillon with args; its output goes to files under folder.
  QuillonProcess(std::vector<std::string> args, const testing::TempDir& folder)
      : out_(folder.File("out-" + std::to_string(++Count()))),
        err_(folder.File("err-" + std::to_string(Count()))) {
    static const std::string program = QUILLON_BINARY_DIR "/src/cli/quillon";
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, program.c_str(), &files, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
  }
  ~QuillonProcess() {
    if (pid_ > 0) Wait();
  }
  QuillonProcess(const QuillonProcess&) = delete;
  QuillonProcess& operator=(const QuillonProcess&) = delete;

  // Waits for the end and returns the exit status (-1 when it did not start or end normally)
  // and what it printed.
  CliRun Wait() {
    CliRun run;
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status)) {
      run.status = WEXITSTATUS(status);
    }
    pid_ = -1;
    run.out = testing::ReadFile(out_);
    run.err = testing::ReadFile(err_);
    return run;
  }

 private:
  static int& Count() {
    static int count = 0;
    return count;
  }
  std::string out_, err_;
  pid_t pid_ = -1;
};

}  // namespace quillon::cli
