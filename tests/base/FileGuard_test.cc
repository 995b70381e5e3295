#include "base/FileGuard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/HeldElsewhere.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using namespace std::chrono_literals;

TEST(FileGuard, AnotherProcessHoldingTheFileMakesTheGuardFailAfterItsWait) {
  testing::TempDir dir;
  std::string path = dir.File("doc.docx");
  testing::WriteFile(path, "content");
  testing::HeldElsewhere other(path);
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
  testing::HeldElsewhere other(path);
  std::thread finisher([&] {
    std::this_thread::sleep_for(300ms);
    other.Release();
  });
  EXPECT_NO_THROW(FileGuard(path, 10s));
  finisher.join();
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
