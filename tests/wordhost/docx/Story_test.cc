// Story positions over the body: lengths, units, page numbers, and positions kept right
// through edits.
#include "wordhost/docx/Story.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "wordhost/docx/ContentKinds.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Counts code points as positions do.
long CodePoints(const std::string& text) {
  long n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

// Each kind of content: StoryText gives one character per position (so its code points are
// the story's length), Range().Text what the document shows.
TEST(Story, EachKindOfContentReadsAsItShows) {
  for (const ContentKind& c : ContentKinds()) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    EXPECT_EQ(doc->Range()->StoryText(), c.story);
    EXPECT_EQ(doc->Range()->End(), CodePoints(c.story));
    EXPECT_EQ(doc->Range()->Text(), c.shown);
  }
  // Ranges inside the story: within one run of many bytes, and cutting through a code.
  auto doc = Load(P(R("\xC3\xA9t\xC3\xA9 d\xE2\x82\xAC")));
  EXPECT_EQ(doc->Range(1, 5)->StoryText(), "t\xC3\xA9 d");
  EXPECT_EQ(doc->Range(1, 5)->Text(), "t\xC3\xA9 d");
  doc = Load(P(Fld("ADDIN X", R("r"))));
  EXPECT_EQ(doc->Range(3, 9)->StoryText(), "DIN X\x14");
  EXPECT_EQ(doc->Range(3, 9)->Text(), "DIN X");
}

// A page break followed by the page Word last rendered there counts once; so does a
// paragraph that starts a page, and a section that ends one.
TEST(Story, PagesCountBreaksOnce) {
  auto doc = Load(P(R("page one")) + P(PageBreak()) +
                  P("<w:r><w:lastRenderedPageBreak/><w:t>page two</w:t></w:r>") +
                  P(R("still two")) + P(R("three"), "<w:pageBreakBefore/>") +
                  P("<w:r><w:lastRenderedPageBreak/><w:t>four (soft break)</w:t></w:r>") +
                  P(R("end of section"), "<w:sectPr/>") + P(R("five")));
  const std::string text = doc->Range()->Text();
  const std::pair<const char*, long> pages[] = {
      {"page one", 1}, {"page two", 2},       {"still two", 2}, {"three", 3},
      {"four", 4},     {"end of section", 4}, {"five", 5}};
  for (const auto& [needle, page] : pages) {
    EXPECT_EQ(doc->story().PageAt(static_cast<long>(text.find(needle))), page) << needle;
  }
}

const std::string kTwoFields =
    P(R("abc ") + Fld(" A ", R("x")) + R(" tail")) + P(R("AB ") + Fld(" B ", R("y")));

// Positions taken before edits that only move text come out where the same marks stand after
// them; after any other edit, or too many, nothing is carried.
TEST(Story, CarryPositionMovesPositionsWithTheText) {
  struct Case {
    const char* name;
    std::string body;
    std::function<void(Document&)> edit;
    bool carried;  // whether the field marks' positions carry over the edit
  };
  const Case cases[] = {
      {"text_grown_in_place", kTwoFields, [](Document& doc) { doc.ReplaceText(1, 2, "LONGER"); },
       true},
      {"text_erased_in_place", kTwoFields, [](Document& doc) { doc.RemoveContent(0, 2); }, true},
      // "abc " 0-3, the field 4-10, " tail " 11-16, then "AB" at 17.
      {"field_added_after_a_run",
       P(R("abc ") + Fld(" A ", R("x")) + R(" tail ") + R("AB ") + R("end")) +
           P(Fld(" B ", R("y"))),
       [](Document& doc) {
         doc.AddField(17, 19, host::wdFieldEmpty, "X");
         doc.SetFieldResult(*doc.fieldIndex().At(1), "{X}");
       },
       true},
      {"several_edits_within_reach", kTwoFields,
       [](Document& doc) {
         for (int i = 0; i < 8; ++i) doc.ReplaceText(1, 2, i % 2 ? "b" : "bb");
       },
       true},
      {"too_many_edits", kTwoFields,
       [](Document& doc) {
         for (int i = 0; i < 9; ++i) doc.ReplaceText(1, 2, i % 2 ? "b" : "bb");
       },
       false},
      {"paragraph_split", kTwoFields, [](Document& doc) { doc.SplitParagraph(2); }, false},
      {"text_removed_across_runs", kTwoFields, [](Document& doc) { doc.RemoveContent(16, 18); },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    const Story& story = doc->story();
    struct Placed {
      pugi::xml_node node;
      AtomKind kind;
      long pos;
    };
    std::vector<Placed> marks;
    for (size_t u = 0; u < story.UnitCount(); ++u) {
      for (const Atom& atom : story.Atoms(u)) {
        if (atom.kind == AtomKind::kBegin || atom.kind == AtomKind::kSeparate ||
            atom.kind == AtomKind::kEnd) {
          marks.push_back({atom.node, atom.kind, story.UnitStart(u) + atom.offset});
        }
      }
    }
    const uint64_t before = story.Generation();
    c.edit(*doc);
    for (const Placed& mark : marks) {
      long pos = mark.pos;
      ASSERT_EQ(story.CarryPosition(before, pos), c.carried) << "mark at " << mark.pos;
      EXPECT_EQ(pos, c.carried ? story.PositionOf(mark.node, mark.kind) : mark.pos)
          << "mark at " << mark.pos;
    }
  }
}

// Where RunsInsertedMatchAFreshLoad puts its runs.
const std::string kHere = "<w:bookmarkStart w:id=\"0\" w:name=\"here\"/>";

const std::string kRendered = "<w:r><w:lastRenderedPageBreak/><w:t>y</w:t></w:r>";

// Runs spliced into a measured paragraph give the atoms, events, positions, pages and text of
// a fresh read of the same XML, and later paragraphs move with them.
TEST(Story, RunsInsertedMatchAFreshLoad) {
  struct Case {
    const char* name;
    std::string body;  // holds kHere once
    std::string runs;  // put right before kHere
    size_t unit;       // the unit of kHere
    size_t atom;       // the index of the first atom after kHere
    std::string text;  // Range().Text afterwards
  };
  const Case cases[] = {
      {"result_after_separator",
       P(R("a ") + Mark("begin") + Instr(" X ") + Mark("separate") + kHere + Mark("end") +
         R(" tail")) +
           P(R("next")),
       R("shown"), 0, 4, "a shown tail\rnext\r"},
      {"field_after_text", P(R("before ") + kHere + R(" after")) + P(R("next")),
       Mark("begin") + Instr(" ADDIN X ") + Mark("separate") + Mark("end"), 0, 1,
       "before  after\rnext\r"},
      {"before_the_mark", P(R("end") + kHere) + P(R("next")), R(" more"), 0, 1, "end more\rnext\r"},
      {"inside_a_hyperlink",
       P("<w:hyperlink><w:r><w:t>link</w:t></w:r>" + kHere + "</w:hyperlink>" + R(" after")),
       R("ed"), 0, 1, "linked after\r"},
      // Text between a page break and a rendered break shows: the rendered break is a page
      // of its own now.
      {"first_visible_after_a_break", P(R("x")) + P(PageBreak() + kHere + kRendered) + P(R("z")),
       R("new"), 1, 1, "x\r\fnewy\rz\r"},
      // Field marks and code show nothing: the rendered break still closes the same page.
      {"code_after_a_break", P(R("x")) + P(PageBreak() + kHere + kRendered),
       Mark("begin") + Instr(" X ") + Mark("separate") + Mark("end"), 1, 1, "x\r\fy\r"},
      {"events_after_move", P(R("a") + kHere + kRendered + PageBreak() + R("c")) + P(R("d")),
       R("bbb"), 0, 1, "abbby\fc\rd\r"},
      {"simple_field", P(R("page ") + kHere + R(".")), Simple(" PAGE ", R("7")), 0, 1, "page 7.\r"},
      {"in_a_table_cell",
       "<w:tbl><w:tr><w:tc>" + P(R("c") + kHere) + "</w:tc></w:tr></w:tbl>" + P(R("after")),
       R("ell"), 0, 1, "cell\r\a\r\aafter\r"},
      // The cases below are measured again as a whole.
      {"a_page_break_among_the_runs", P(R("x") + kHere + R("y")) + P(R("z") + kRendered),
       PageBreak() + R("w"), 0, 1, "x\fwy\rzy\r"},
      {"at_the_start_of_a_page", P(R("first")) + P(kHere + R("x"), "<w:pageBreakBefore/>"),
       R("new "), 1, 0, "first\rnew x\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    Story& story = doc->story();
    for (size_t u = 0; u < story.UnitCount(); ++u) story.Atoms(u);
    const uint64_t generation = story.Generation();
    pugi::xml_node here = doc->xml().document_element().find_node(
        [](pugi::xml_node node) { return std::string_view(node.name()) == "w:bookmarkStart"; });
    ASSERT_TRUE(here);
    pugi::xml_document runs;
    ASSERT_TRUE(runs.load_string(("<x>" + c.runs + "</x>").c_str()));
    pugi::xml_node first, last;
    for (pugi::xml_node run : runs.document_element().children()) {
      last = here.parent().insert_copy_before(run, here);
      if (!first) first = last;
    }
    story.InsertRuns(c.unit, c.atom, first, last);
    EXPECT_NE(story.Generation(), generation);
    doc->MarkModified();
    auto fresh = Document::FromBytes(doc->ToBytes());
    ExpectSameStory(story, fresh->story());
    EXPECT_EQ(doc->Range()->Text(), c.text);
  }
}

// Nesting right up to the depth limit is read, walked and edited: the walks that recurse
// through tables and content controls stay within the stack at the limit.
TEST(Story, NestingUpToTheDepthLimitIsWalked) {
  // w:document, w:body, then three levels per table and w:p, w:r, w:t inside: 2 + 3 * 83 + 3.
  std::string tables =
      Nested(83, "<w:tbl><w:tr><w:tc>", P(R("deep")), "</w:tc></w:tr></w:tbl>") + P(R("after"));
  auto doc = Load(tables);
  EXPECT_EQ(ShowText(*doc, false).substr(0, 4), "deep");
  EXPECT_EQ(doc->story().UnitCount(), 83u * 2 + 1);
  ASSERT_EQ(doc->Tables().Count(), 1);
  doc->Tables().Item(1)->Delete();
  EXPECT_EQ(doc->Range()->Text(), "after\r");
  // Two levels per content control: 2 + 2 * 125 + 3.
  auto controls =
      Load(Nested(125, "<w:sdt><w:sdtContent>", P(R("deep")), "</w:sdtContent></w:sdt>"));
  EXPECT_EQ(controls->Range()->Text(), "deep\r");
}

}  // namespace
}  // namespace quillon::docx
