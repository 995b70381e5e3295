#include "base/FileGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "support/TempDir.h"

namespace quillon {
namespace {

using namespace std::chrono_literals;
using ::testing::ThrowsMessage;

TEST(FileGuard, NoticesAWriteByAProgramThatTakesNoLock) {
  testing::TempDir dir;
  const std::string path = dir.File("doc.docx");
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

TEST(FileGuard, MissingFileIsAClearError) {
  testing::TempDir dir;
  EXPECT_THROW(FileGuard(dir.File("missing.docx"), 0ms), FileError);
}

}  // namespace
}  // namespace quillon
