#include "wordhost/docx/LayoutCopy.h"

#include <gtest/gtest.h>

#include "wordhost/docx/ContentKinds.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Package.h"
#include "wordhost/docx/Wml.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Returns the text of a copy's main part with each bookmark start shown as "[name]" where it
// stands and each paragraph end as "|".
std::string TextWithBookmarks(const std::string& bytes) {
  std::string xml = Package::FromBytes(bytes).Read("word/document.xml");
  pugi::xml_document doc;
  doc.load_buffer(xml.data(), xml.size(), pugi::parse_full | pugi::parse_ws_pcdata);
  std::string text;
  pugi::xpath_node_set nodes = doc.select_nodes("//w:t | //w:bookmarkStart | //w:p");
  nodes.sort();  // into document order
  for (pugi::xpath_node found : nodes) {
    pugi::xml_node node = found.node();
    if (IsW(node, "t")) text += node.text().get();
    if (IsW(node, "bookmarkStart"))
      text += "[" + std::string(node.attribute("w:name").value()) + "]";
    if (IsW(node, "p") && node.previous_sibling() && IsW(node.previous_sibling(), "p")) text += "|";
  }
  return text;
}

// The copy shows what the original shows, with no fields left; the original is not changed.
// Marks that do not pair up cannot be flattened, so such a copy is refused.
TEST(LayoutCopyTest, CopyShowsTheResultsAndHasNoFields) {
  for (const ContentKind& c : ContentKinds()) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    if (!c.flattens) {
      EXPECT_THROW(FlattenedCopy(*doc, {{0, "m"}}, CopyExtent::kWhole), DocxError);
      continue;
    }
    auto copy = Document::FromBytes(FlattenedCopy(*doc, {}, CopyExtent::kWhole));
    EXPECT_EQ(copy->fieldIndex().Count(), 0u);
    EXPECT_EQ(copy->Range()->Text(), c.shown);
    EXPECT_EQ(doc->Range()->Text(), c.shown);
    EXPECT_FALSE(doc->Modified());
  }
}

// A bookmark stands right after the result of the field it names, inside the same paragraph.
TEST(LayoutCopyTest, BookmarksFollowTheirFieldsResults) {
  auto original = Load(P(R("a ") + Fld(" ADDIN A ", R("first")) + R(" mid ") +
                         Simple(" ADDIN B ", R("second")) + R(" tail ")) +
                       P(Fld(" ADDIN C ", R("third")) + R(" end")));
  EXPECT_EQ(TextWithBookmarks(
                FlattenedCopy(*original, {{2, "m2"}, {0, "m0"}, {1, "m1"}}, CopyExtent::kWhole)),
            "a first[m0] mid second[m1] tail |third[m2] end");
  EXPECT_EQ(TextWithBookmarks(FlattenedCopy(*original, {{1, "only"}}, CopyExtent::kWhole)),
            "a first mid second[only] tail |third end");
  auto copy = Document::FromBytes(FlattenedCopy(*original, {{0, "m0"}}, CopyExtent::kWhole));
  EXPECT_EQ(copy->Range()->Text(), "a first mid second tail \rthird end\r");
}

// What the layout engine is given of a long text: up to a margin after the last bookmark, the
// section it ends in keeping its own page set-up.
TEST(LayoutCopyTest, TheCopyEndsAMarginAfterTheLastBookmark) {
  const std::string filler(1000, 'x');
  // Field i at the start of paragraph i; a landscape section ends at paragraph 29.
  std::string body;
  constexpr int kParagraphs = 60;
  for (int i = 0; i < kParagraphs; ++i) {
    std::string section = i == 29 ? "<w:pPr><w:sectPr><w:pgSz w:w=\"16838\" w:h=\"11906\"/>"
                                    "</w:sectPr></w:pPr>"
                                  : "";
    body += "<w:p>" + section + Fld(" ADDIN F ", R("f" + std::to_string(i))) + R(filler) + "</w:p>";
  }
  auto original = Load(body);
  struct Case {
    size_t lastField;
    int keptParagraphs;
    const char* lastWidth;  // the page width of the section the copy ends in
  };
  const int margin = static_cast<int>(kLayoutMargin / 1000);
  for (const Case& c : {Case{0, 1 + margin, "16838"}, Case{30, 31 + margin, "11906"},
                        Case{kParagraphs - 5, kParagraphs, "11906"}}) {
    SCOPED_TRACE(c.lastField);
    std::string xml = Package::FromBytes(FlattenedCopy(*original, {{0, "a"}, {c.lastField, "z"}},
                                                       CopyExtent::kPastLastBookmark))
                          .Read("word/document.xml");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(xml.data(), xml.size()));
    pugi::xml_node copyBody = doc.document_element().child("w:body");
    int paragraphs = 0;
    for (pugi::xml_node p : copyBody.children("w:p")) {
      std::string text;
      for (pugi::xml_node r : p.children("w:r")) text += r.child("w:t").text().get();
      EXPECT_EQ(text, "f" + std::to_string(paragraphs) + filler);
      ++paragraphs;
    }
    EXPECT_EQ(paragraphs, c.keptParagraphs);
    auto whole =
        Document::FromBytes(FlattenedCopy(*original, {{c.lastField, "z"}}, CopyExtent::kWhole));
    EXPECT_EQ(whole->Paragraphs().Count(), kParagraphs);
    ASSERT_TRUE(IsW(copyBody.last_child(), "sectPr"));
    EXPECT_STREQ(copyBody.last_child().child("w:pgSz").attribute("w:w").value(), c.lastWidth);
  }
}

}  // namespace
}  // namespace quillon::docx
