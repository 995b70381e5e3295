// Holds a file's FileGuard from a second process, as another Quillon command changing the
// file would, until Release() or the end of the object.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "base/FileGuard.h"

namespace quillon::testing {

class HeldElsewhere {
 public:
  // Returns once the second process holds the guard on path.
  explicit HeldElsewhere(const std::string& path) {
    int ready[2], release[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(release), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);  // so that the read below ends when the test closes its end
      FileGuard guard(path, std::chrono::milliseconds(0));
      [[maybe_unused]] ssize_t n = ::write(ready[1], "x", 1);
      char byte;
      n = ::read(release[0], &byte, 1);  // returns when the test closes its end
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char byte;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
  }
  HeldElsewhere(const HeldElsewhere&) = delete;
  HeldElsewhere& operator=(const HeldElsewhere&) = delete;
  ~HeldElsewhere() { Release(); }

  // Ends the second process, and with it its guard; returns once it has ended.
  void Release() {
    if (release_ < 0) return;
    ::close(release_);
    release_ = -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_;
  int release_ = -1;
};

}  // namespace quillon::testing
