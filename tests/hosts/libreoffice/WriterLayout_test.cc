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

const std::string kPageBreak = "<w:r><w:br w:type=\"page\"/></w:r>";

// Paragraphs enough to fill more than one page with no break.
std::string Filler(int paragraphs) {
  std::string body;
  for (int i = 0; i < paragraphs; ++i) {
    body += P(R("Filler paragraph " + std::to_string(i) + " that only takes room on the page."));
  }
  return body;
}

class WriterLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SofficeInstalled()) GTEST_FAIL() << "soffice is missing: scripts/setup.sh installs it";
  }
  std::string Write(const std::string& name, const std::string& body) {
    std::string path = dir.File(name);
    testing::WriteFile(path, MakeDocx(body));
    return path;
  }
  testing::TempDir dir;
};

TEST_F(WriterLayoutTest, BookmarkPagesFollowBreaksAndFlowingText) {
  // Each line: a bookmark, then what comes before the next one.
  std::string body = P(Bookmark("start", 1) + R("On the first page.")) + Filler(3) +
                     P(R("Still first.") + Bookmark("first", 2)) + P(kPageBreak) +
                     P(Bookmark("second", 3) + R("After a break.")) + Filler(120) +
                     P(Bookmark("flowed", 4) + R("Flowed on."));
  std::string path = Write("marks.docx", body);
  std::vector<long> pages = BookmarkPages(testing::SharedLibreOffice::Get(), path,
                                          {"second", "start", "first", "flowed", "second"});
  // 120 paragraphs do not fit on one page.
  EXPECT_THAT(pages, ::testing::ElementsAre(2, 1, 1, ::testing::Gt(2), 2));
}

TEST_F(WriterLayoutTest, MissingBookmarkOrDocumentIsAnError) {
  std::string path = Write("one.docx", P(Bookmark("here", 1) + R("Text.")));
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
    try {
      BookmarkPages(session, c.path, c.names);
      ADD_FAILURE() << c.said;
    } catch (const LibreOfficeError& e) {
      EXPECT_THAT(e.what(), ::testing::HasSubstr(c.said));
    }
  }
  // The session still works after a failed call.
  EXPECT_EQ(BookmarkPages(session, path, {"here"}), std::vector<long>{1});
}

TEST_F(WriterLayoutTest, ExportsTextAsWriterShowsIt) {
  std::string path = Write("text.docx", P(R("Alpha beta.")) + P(R("Gamma.")));
  std::string target = dir.File("text.txt");
  ExportDocument(testing::SharedLibreOffice::Get(), path, target, "Text (encoded):UTF8");
  std::string text = testing::ReadFile(target);
  EXPECT_THAT(text, ::testing::HasSubstr("Alpha beta."));
  EXPECT_THAT(text, ::testing::HasSubstr("Gamma."));
}

}  // namespace
}  // namespace quillon::libreoffice
