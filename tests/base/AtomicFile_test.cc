#include "base/AtomicFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/ReadOnly.h"
#include "support/TempDir.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ReadFile;
using ::testing::ThrowsMessage;
using testing::WriteFile;

struct stat StatOf(const std::string& path) {
  struct stat file {};
  EXPECT_EQ(::stat(path.c_str(), &file), 0) << path;
  return file;
}

class AtomicFile : public ::testing::Test {
 protected:
  testing::TempDir dir;
};

// A new file gets the usual mode; a replaced one keeps its mode and owner. No temporary file
// stays behind.
TEST_F(AtomicFile, NewFilesGetTheUsualModeAndReplacedOnesKeepModeAndOwner) {
  mode_t mask = ::umask(027);
  WriteFileAtomically(dir.File("new.docx"), "content");
  ::umask(mask);
  EXPECT_EQ(ReadFile(dir.File("new.docx")), "content");
  EXPECT_EQ(StatOf(dir.File("new.docx")).st_mode & 07777, 0640u);
  std::string path = dir.File("doc.docx");
  WriteFile(path, "old");
  ::chmod(path.c_str(), 0604);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  WriteFileAtomically(path, "new content");
  EXPECT_EQ(ReadFile(path), "new content");
  struct stat after = StatOf(path);
  EXPECT_EQ(after.st_mode & 07777, 0604u);
  if (root) {
    EXPECT_EQ(std::pair(after.st_uid, after.st_gid), std::pair(65534u, 65534u));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 2);
}

TEST_F(AtomicFile, SymbolicLinksAreFollowedAndStay) {
  fs::create_directory(dir.Path() / "real");
  std::string target = dir.File("real/doc.docx");
  WriteFile(target, "old");
  fs::create_symlink("real/doc.docx", dir.Path() / "relative.docx");
  fs::create_symlink(dir.Path() / "relative.docx", dir.Path() / "chain.docx");

  WriteFileAtomically(dir.File("chain.docx"), "through two links");
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "chain.docx"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "relative.docx"));
  EXPECT_EQ(ReadFile(target), "through two links");
  EXPECT_EQ(FinalTarget(dir.File("chain.docx")), dir.File("real/doc.docx"));

  // A dangling link gets its target made; a loop is refused.
  fs::create_symlink("made.docx", dir.Path() / "link.docx");
  WriteFileAtomically(dir.File("link.docx"), "x");
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.docx"));
  EXPECT_EQ(ReadFile(dir.File("made.docx")), "x");
  fs::create_symlink("b", dir.Path() / "a");
  fs::create_symlink("a", dir.Path() / "b");
  EXPECT_THROW(WriteFileAtomically(dir.File("a"), "x"), FileError);
}

TEST_F(AtomicFile, HardLinksAllSeeTheNewContent) {
  std::string path = dir.File("doc.docx");
  WriteFile(path, "a longer old content");
  fs::create_hard_link(path, dir.Path() / "other-name.docx");
  WriteFileAtomically(path, "new");
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(ReadFile(dir.File("other-name.docx")), "new");
  EXPECT_EQ(fs::hard_link_count(path), 2u);
}

TEST_F(AtomicFile, RefusalsLeaveTheTargetAsItWas) {
  fs::create_directory(dir.Path() / "folder.docx");
  EXPECT_THAT([&] { WriteFileAtomically(dir.File("folder.docx"), "x"); },
              ThrowsMessage<FileError>(HasSubstr("folder.docx: Is a directory")));
  const std::string beside =
      "cannot write " + dir.File("missing/doc.docx") + ": cannot create a temporary file beside it";
  EXPECT_THAT([&] { WriteFileAtomically(dir.File("missing/doc.docx"), "x"); },
              ThrowsMessage<FileError>(HasSubstr(beside)));
  EXPECT_THAT([&] { CheckReplaceable(dir.File("missing/doc.docx")); },
              ThrowsMessage<FileError>(HasSubstr(beside)));
}

TEST_F(AtomicFile, WriteProtectedFileIsRefusedInAWritableFolder) {
  fs::permissions(dir.Path(), fs::perms::all);
  std::string path = dir.File("protected.docx");
  WriteFile(path, "keep me");
  ::chmod(path.c_str(), 0444);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  testing::ScopedUnprivileged nobody;
  EXPECT_THAT([&] { WriteFileAtomically(path, "x"); },
              ThrowsMessage<FileError>("cannot write " + path + ": the file is write-protected"));
  EXPECT_EQ(ReadFile(path), "keep me");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace quillon
