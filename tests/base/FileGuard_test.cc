#include "base/FileGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/HeldElsewhere.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

using namespace std::chrono_literals;
using ::testing::ThrowsMessage;

// A temporary folder holding one document.
struct GuardedFile {
  GuardedFile() { testing::WriteFile(path, "content"); }
  testing::TempDir dir;
  std::string path = dir.File("doc.docx");
};

TEST(FileGuard, AnotherProcessHoldingTheFileMakesTheGuardFailAfterItsWait) {
  GuardedFile file;
  testing::HeldElsewhere other(file.path);
  auto start = std::chrono::steady_clock::now();
  EXPECT_THAT([&] { FileGuard guard(file.path, 200ms); },
              ThrowsMessage<FileError>(file.path +
                                       " is being changed by another Quillon command; nothing was "
                                       "done, try again when it has finished"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
}

TEST(FileGuard, WaitsForAHolderThatFinishes) {
  GuardedFile file;
  testing::HeldElsewhere other(file.path);
  std::thread finisher([&] {
    std::this_thread::sleep_for(300ms);
    other.Release();
  });
  EXPECT_NO_THROW(FileGuard(file.path, 10s));
  finisher.join();
}

TEST(FileGuard, NoticesAWriteByAProgramThatTakesNoLock) {
  GuardedFile file;
  FileGuard guard(file.path, 0ms);
  EXPECT_NO_THROW(guard.CheckUnchanged());
  testing::WriteFile(file.dir.File("replacement"), "saved by another program");
  std::filesystem::rename(file.dir.File("replacement"), file.path);
  EXPECT_THAT([&] { guard.CheckUnchanged(); },
              ThrowsMessage<FileError>(file.path +
                                       " was changed by another program while Quillon worked on "
                                       "it; nothing was written"));
}

// Through a link, the guard holds the file the link names, and finds it unchanged.
TEST(FileGuard, AGuardThroughALinkHoldsTheLinkedFile) {
  GuardedFile file;
  std::filesystem::create_symlink(file.path, file.dir.File("link.docx"));
  FileGuard guard(file.dir.File("link.docx"), 0ms);
  EXPECT_NO_THROW(guard.CheckUnchanged());
  EXPECT_THROW(FileGuard(file.path, 0ms), FileError);
}

TEST(FileGuard, MissingFileIsAClearError) {
  testing::TempDir dir;
  EXPECT_THROW(FileGuard(dir.File("missing.docx"), 0ms), FileError);
}

}  // namespace
}  // namespace quillon
