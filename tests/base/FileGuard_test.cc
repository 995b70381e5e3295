#include "base/FileGuard.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/TempDir.h"

namespace quillon {
namespace {

using namespace std::chrono_literals;

// A second process that holds the guard on path for holdFor, then exits. The constructor
// returns once the child holds it.
class GuardHolder {
 public:
  GuardHolder(const std::string& path, std::chrono::milliseconds holdFor) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      FileGuard guard(path, 0ms);
      [[maybe_unused]] ssize_t n = ::write(ready[1], "x", 1);
      std::this_thread::sleep_for(holdFor);
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
  }
  ~GuardHolder() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_;
};

TEST(FileGuard, AnotherProcessHoldingTheFileMakesTheGuardFailAfterItsWait) {
  testing::TempDir dir;
  std::string path = dir.File("doc.docx");
  testing::WriteFile(path, "content");
  GuardHolder other(path, 2000ms);
  auto start = std::chrono::steady_clock::now();
  try {
    FileGuard guard(path, 200ms);
    ADD_FAILURE() << "two processes held the same file";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              path +
                  " is being changed by another Quillon command; nothing was done, try again "
                  "when it has finished");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
}

TEST(FileGuard, WaitsForAHolderThatFinishes) {
  testing::TempDir dir;
  std::string path = dir.File("doc.docx");
  testing::WriteFile(path, "content");
  GuardHolder other(path, 300ms);
  EXPECT_NO_THROW(FileGuard(path, 10s));
}

TEST(FileGuard, NoticesAWriteByAProgramThatTakesNoLock) {
  testing::TempDir dir;
  std::string path = dir.File("doc.docx");
  testing::WriteFile(path, "content");
  FileGuard guard(path, 0ms);
  EXPECT_NO_THROW(guard.CheckUnchanged());

  testing::WriteFile(dir.File("replacement"), "saved by another program");
  std::filesystem::rename(dir.File("replacement"), path);
  try {
    guard.CheckUnchanged();
    ADD_FAILURE() << "a replaced file went unnoticed";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), path +
                                         " was changed by another program while Quillon worked "
                                         "on it; nothing was written");
  }
}

TEST(FileGuard, MissingFileIsAClearError) {
  testing::TempDir dir;
  EXPECT_THROW(FileGuard(dir.File("missing.docx"), 0ms), FileError);
}

}  // namespace
}  // namespace quillon
