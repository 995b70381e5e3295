// The document: ranges and their text, paragraphs, edits at the end, fields added in batches,
// and edits refused before they write anything.
#include "wordhost/docx/Document.h"

#include <gtest/gtest.h>

#include <functional>

#include "addin/host/HostError.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Document, ParagraphsAndRangesWithinTheText) {
  auto doc = Load(P(R("one")) + Tbl(1, 2) + P(R("last")));
  host::Paragraphs& paragraphs = doc->Paragraphs();
  // Two paragraphs in the body and one in each cell.
  ASSERT_EQ(paragraphs.Count(), 4);
  EXPECT_EQ(paragraphs.Item(1)->Range()->End(), 4);
  EXPECT_EQ(paragraphs.Item(4)->Range()->End(), doc->Range()->End());
  EXPECT_EQ(paragraphs.Item(4)->Range()->Text(), "last\r");
  EXPECT_THROW(paragraphs.Item(5), host::HostError);
  EXPECT_THROW(doc->Range(0, 99), host::HostError);
  EXPECT_THROW(doc->Range(-1, 2), host::HostError);
  EXPECT_EQ(doc->Range(1, 1)->Text(), "");
}

// An edit at the very end of the story, after the final paragraph mark where no insertion
// point can stand, goes before that mark; the story stays as a fresh load reads it.
TEST(Document, EditsAtTheEndGoBeforeTheFinalParagraphMark) {
  struct Case {
    const char* name;
    void (*edit)(Document& doc, long end);
    const char* shown;  // Range().Text() afterwards
  };
  const Case cases[] = {
      {"field",
       [](Document& doc, long end) {
         doc.Fields().Add(*doc.Range(end, end), host::wdFieldQuote, "X", false);
       },
       "Alpha beta gamma delta epsilon.X\r"},
      {"text", [](Document& doc, long end) { doc.Range(end, end)->SetText(" Zeta."); },
       "Alpha beta gamma delta epsilon. Zeta.\r"},
      {"paragraph", [](Document& doc, long end) { doc.SplitParagraph(end); },
       "Alpha beta gamma delta epsilon.\r\r"},
      {"table",
       [](Document& doc, long end) {
         doc.Tables().Add(*doc.Range(end, end), 1, 2, host::wdWord9TableBehavior,
                          host::wdAutoFitContent);
       },
       "Alpha beta gamma delta epsilon.\r\r\a\r\a\r\a\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(P(R("Alpha beta gamma delta epsilon.")));
    long end = doc->story().Length();
    ASSERT_EQ(end, 32);
    c.edit(*doc, end);
    EXPECT_EQ(doc->Range()->Text(), c.shown);
    ExpectSameAsFreshLoad(*doc);
  }
}

// A batch of fields written in one call ends as the same fields written one by one through
// Add and the result's SetText, which is what the host interface's own AddFields does; either
// way the story and the field index are those of a fresh read.
TEST(Document, AddFieldsWritesWhatAddThenSetTextWrites) {
  struct Case {
    const char* name;
    std::string body;
    std::vector<host::NewField> fields;
  };
  const std::vector<Case> cases = {
      {"uses inside runs and one run of its own",
       P(R("The WHO and ") + R("UN") + R(" met; WHO again.")),
       {{4, 7, "ADDIN ABBREV <ABB>WHO</ABB>", "{WHO-#1}"},
        {12, 14, "ADDIN ABBREV <ABB>UN</ABB>", "{UN-#2}"},
        {20, 23, "ADDIN ABBREV <ABB>WHO</ABB>", "{WHO-#1}"}}},
      {"over several paragraphs, in formatted text",
       P(R("AB", "<w:b/>") + R(" x")) + P(R("y CD")),
       {{0, 2, "C1", "r1"}, {7, 9, "C2", "r2"}}},
      {"a result with a tab and an empty range, before a field already there",
       P(R("abc") + Fld(" X ", R("x"))),
       {{1, 1, "C", "a\tb"}}},
      {"several uses inside one text element",
       P(R("The WHO and the UN met; WHO again.")),
       {{4, 7, "C1", "r1"}, {16, 18, "C2", "r2"}, {24, 27, "C1", "r1"}}},
      {"at the start of a formatted run's text, and after a tab in a run",
       P(R("x ") + R("ABA rest", "<w:b/>")) +
           P("<w:r><w:tab/><w:t xml:space=\"preserve\">ABB y</w:t></w:r>"),
       {{2, 5, "C1", "r1"}, {12, 15, "C2", "r2"}}},
      {"before and after a page break, and after a paragraph holding one",
       P(R("a ABC b") + PageBreak() + R("c ABD d")) + P(PageBreak()) + P(R("x ABC y")),
       {{2, 5, "C1", "r1"}, {10, 13, "C2", "r2"}, {20, 23, "C1", "r1"}}},
      {"around a field already there, one paragraph cut and one taken field by field",
       P(R("a WHO b ") + Fld(" QUOTE x ", R("shown")) + R(" UN c")) + P(R("UN")),
       {{2, 5, "C1", "r1"}, {26, 28, "C2", "r2"}, {31, 33, "C2", "r2"}}},
      // Each field over a whole run: the quick way in for the fields written one by one.
      {"in a table cell, and after a page break before a rendered one",
       Tbl(1, 2, "AB") + P(R("x")) +
           P(PageBreak() + R("ABC") + "<w:r><w:lastRenderedPageBreak/><w:t>y</w:t></w:r>"),
       {{5, 9, "C1", "r1"}, {14, 17, "C2", "r2"}}},
      {"codes and results with markup characters and loose blanks",
       P(R("R&D and Q&A and more")),
       {{0, 3, "ADDIN ABBREV <ABB>R&amp;D</ABB>  \"x > y\"", "  R&D "},
        {8, 11, "<Text>Q&A</Text>", "Q&A"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto batch = Load(c.body);
    auto single = Load(c.body);
    const long after = batch->AddFields(c.fields);
    EXPECT_EQ(single->host::Document::AddFields(c.fields), after);
    EXPECT_EQ(SerializePart(batch->xml()), SerializePart(single->xml()));
    EXPECT_EQ(batch->Fields().Count(), single->Fields().Count());
    EXPECT_EQ(batch->Range(after - 1, after)->Text(), "");  // the last end mark shows nothing
    // The new fields read back as given, in order among any the document had.
    size_t next = 0;
    for (long i = 1; i <= batch->Fields().Count() && next < c.fields.size(); ++i) {
      auto field = batch->Fields().Item(i);
      if (field->Code()->Text() != " " + c.fields[next].code + " ") continue;
      EXPECT_EQ(field->Result()->Text(), c.fields[next].result);
      ++next;
    }
    EXPECT_EQ(next, c.fields.size());
    ExpectSameAsFreshLoad(*batch);
    ExpectSameAsFreshLoad(*single);
  }
}

// Edits that cannot be made are refused before they write anything: text that is not valid
// UTF-8 (other readers refuse such XML), and batches of fields out of order, overlapping or
// past the text.
TEST(Document, RefusedEditsWriteNothing) {
  auto doc = Load(P(R("one two three ") + Fld(" QUOTE x ", R("old"))));
  const std::string before = doc->ToBytes();
  const std::string bad = "caf\xC3";
  const std::string notUtf8 = "the text is not valid UTF-8 (byte 3)";
  const std::string misplaced = "fields to add must lie in the text, in order and apart";
  auto addFields = [&](std::vector<host::NewField> fields) {
    return [&doc, fields] { doc->AddFields(fields); };
  };
  const std::pair<std::function<void()>, std::string> edits[] = {
      {[&] { doc->Range(0, 3)->SetText(bad); }, notUtf8},
      {[&] { doc->Range(1, 1)->SetText(bad); }, notUtf8},
      {[&] { doc->Fields().Add(*doc->Range(0, 0), host::wdFieldQuote, bad, false); }, notUtf8},
      {[&] { doc->Fields().Item(1)->Result()->SetText(bad); }, notUtf8},
      {[&] { doc->selection().TypeText(bad); }, notUtf8},
      {addFields({{0, 3, "C", "r"}, {4, 7, "C", bad}}), notUtf8},
      {addFields({{4, 7, "C", "r"}, {0, 3, "C", "r"}}), misplaced},
      {addFields({{0, 5, "C", "r"}, {4, 7, "C", "r"}}), misplaced},
      {addFields({{0, 3, "C", "r"}, {8, 99, "C", "r"}}), "the range 8..99 is outside the document"},
  };
  for (size_t i = 0; i < std::size(edits); ++i) {
    SCOPED_TRACE(i);
    try {
      edits[i].first();
      ADD_FAILURE() << "no error";
    } catch (const host::HostError& e) {
      EXPECT_EQ(e.what(), edits[i].second);
    }
    EXPECT_EQ(doc->ToBytes(), before);
    EXPECT_FALSE(doc->Modified());
  }
}

}  // namespace
}  // namespace quillon::docx
