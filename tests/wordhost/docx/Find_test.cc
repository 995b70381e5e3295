// Find and replace over what the document shows, as the add-in uses them.
#include "wordhost/docx/Find.h"

#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Find, AdaptCaseFollowsTheMatch) {
  struct Case {
    const char* matched;
    const char* replacement;
    const char* expected;
  };
  const Case cases[] = {{"QUOTE", "Addin ABBREV", "ADDIN ABBREV"},
                        {"Quote", "addin abbrev", "Addin abbrev"},
                        {"quote", "Addin ABBREV", "Addin ABBREV"},
                        {"qUOTE", "xy", "xy"},
                        {"\xC3\x89T\xC3\x89", "abc", "ABC"}};
  for (const Case& c : cases) {
    EXPECT_EQ(AdaptCase(c.matched, c.replacement), c.expected) << c.matched;
  }
}

// A field's code is searched, and shown in the range's text, only while the field shows it.
TEST(Find, SearchesWhatTheDocumentShows) {
  auto doc = Load(P(R("alpha ") + Fld(" QUOTE hidden ", R("beta"))));
  host::FindExecuteArgs args;
  args.findText = "hidden";
  EXPECT_FALSE(doc->selection().Find().Execute(args));
  doc->Fields().Item(1)->SetShowCodes(true);
  EXPECT_EQ(doc->Range()->Text(), "alpha  QUOTE hidden \r");
  EXPECT_TRUE(doc->selection().Find().Execute(args));
  EXPECT_EQ(doc->selection().Text(), "hidden");
}

TEST(Find, WrapsAndHonoursDirectionAndCase) {
  auto doc = Load(P(R("one Two three two")));
  host::Find& find = doc->selection().Find();
  doc->selection().SetRange(10, 10);
  host::FindExecuteArgs args;
  args.findText = "two";
  args.forward = true;
  args.wrap = host::wdFindContinue;
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Start(), 14);
  doc->selection().SetRange(15, 15);
  ASSERT_TRUE(find.Execute(args));  // wraps to the start
  EXPECT_EQ(doc->selection().Start(), 4);
  args.matchCase = true;
  doc->selection().SetRange(0, 0);
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Start(), 14);
  args.wrap = host::wdFindStop;
  doc->selection().SetRange(16, 16);
  EXPECT_FALSE(find.Execute(args));
  args.matchWildcards = true;
  EXPECT_THROW(find.Execute(args), host::HostError);
}

TEST(Find, ReplaceOneLeavesTheReplacementSelected) {
  auto doc = Load(P(R("Quote and quote")));
  host::Find& find = doc->selection().Find();
  find.SetText("quote");
  find.Replacement().SetText("citation");
  find.SetWrap(host::wdFindContinue);  // past the selection, where the second match is
  host::FindExecuteArgs args;
  args.replace = host::wdReplaceOne;
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Text(), "Citation");
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->Range()->Text(), "Citation and citation\r");
}

}  // namespace
}  // namespace quillon::docx
