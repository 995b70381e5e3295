#include "base/FileGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

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

TEST(FileGuard, MissingFileIsAClearError) {
  testing::TempDir dir;
  EXPECT_THROW(FileGuard(dir.File("missing.docx"), 0ms), FileError);
}

}  // namespace
}  // namespace quillon
