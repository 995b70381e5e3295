#include "hosts/libreoffice/WriterLayout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hosts/libreoffice/LibreOfficeError.h"
#include "hosts/libreoffice/SharedSession.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::libreoffice {
namespace {

using docx::testing::MakeDocx;
using docx::testing::P;
using docx::testing::R;

std::string Bookmark(const std::string& name, int id) {
  std::string n = std::to_string(id);
  return "<w:bookmarkStart w:id=\"" + n + "\" w:name=\"" + name + "\"/><w:bookmarkEnd w:id=\"" + n +
         "\"/>";
}

TEST(WriterLayoutTest, MissingBookmarkOrDocumentIsAnError) {
  if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  testing::TempDir dir;
  const std::string path = dir.File("one.docx");
  testing::WriteFile(path, MakeDocx(P(Bookmark("here", 1) + R("Text."))));
  LibreOfficeSession& session = testing::SharedLibreOffice::Get();
  struct Case {
    std::string path;
    std::vector<std::string> names;
    std::string said;
  } cases[] = {
      {path, {"here", "gone"}, "gone"},
      {dir.File("absent.docx"), {"here"}, "absent.docx"},
  };
  for (const Case& c : cases) {
    EXPECT_THAT([&] { BookmarkPages(session, c.path, c.names); },
                ::testing::ThrowsMessage<LibreOfficeError>(::testing::HasSubstr(c.said)));
  }
  // The session still works after a failed call.
  EXPECT_EQ(BookmarkPages(session, path, {"here"}), std::vector<long>{1});
}

}  // namespace
}  // namespace quillon::libreoffice
