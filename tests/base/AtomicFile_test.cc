#include "base/AtomicFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ReadFile;
using ::testing::ThrowsMessage;
using testing::WriteFile;

class AtomicFile : public ::testing::Test {
 protected:
  testing::TempDir dir;
};

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
  EXPECT_THAT([&] { WriteFileAtomically(dir.File("missing/doc.docx"), "x"); },
              ThrowsMessage<FileError>(HasSubstr("cannot write " + dir.File("missing/doc.docx"))));
}

}  // namespace
}  // namespace quillon
