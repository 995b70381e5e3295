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

// Another process holding the file makes the guard wait, then fail; a holder that finishes in
// time lets it through.
TEST(FileGuard, WaitsForAnotherProcessHoldingTheFile) {
  testing::TempDir dir;
  const std::string path = dir.File("doc.docx");
  testing::WriteFile(path, "content");
  testing::HeldElsewhere other(path);
  auto start = std::chrono::steady_clock::now();
  EXPECT_THAT(
      [&] { FileGuard guard(path, 200ms); },
      ThrowsMessage<FileError>(path + " is being changed by another Quillon command; nothing was "
                                      "done, try again when it has finished"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
  std::thread finisher([&] {
    std::this_thread::sleep_for(300ms);
    other.Release();
  });
  EXPECT_NO_THROW(FileGuard(path, 10s));
  finisher.join();
  // Through a link, the guard holds the file the link names.
  std::filesystem::create_symlink(path, dir.File("link.docx"));
  FileGuard guard(dir.File("link.docx"), 0ms);
  EXPECT_THROW(FileGuard(path, 0ms), FileError);
}

// A missing file is an error; a file replaced by a program that takes no lock is noticed.
TEST(FileGuard, NoticesAMissingFileAndAWriteByAProgramThatTakesNoLock) {
  testing::TempDir dir;
  const std::string path = dir.File("doc.docx");
  EXPECT_THROW(FileGuard(path, 0ms), FileError);
  testing::WriteFile(path, "content");
  FileGuard guard(path, 0ms);
  EXPECT_NO_THROW(guard.CheckUnchanged());
  testing::WriteFile(dir.File("replacement"), "saved by another program");
  std::filesystem::rename(dir.File("replacement"), path);
  EXPECT_THAT(
      [&] { guard.CheckUnchanged(); },
      ThrowsMessage<FileError>(path + " was changed by another program while Quillon worked on "
                                      "it; nothing was written"));
}

}  // namespace
}  // namespace quillon
