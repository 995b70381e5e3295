// Entries in bulk: reading them all, the refusals, and imports with the duplicate rule of add.
#include "library/EntryTransfer.h"

#include "library/LibraryFixture.h"
#include "library/SQLlite.h"

namespace quillon::library {
namespace {

struct RefusalCase {
  const char* name;
  std::string abb, text, direction;
  std::string refusal;  // "" when accepted
};

// Which tags count is MarkupTagIn's rule; here, the reasons.
TEST(EntryRefusal, SaysWhy) {
  const RefusalCase cases[] = {
      {"plain", "PCA", "principal component analysis", "L", ""},
      {"small_r", "A", "a", "r", ""},
      {"no_direction_is_left_to_right", "A", "a", "", ""},
      {"blank_abbreviation", "  ", "a", "L", "the abbreviation is empty"},
      {"empty_meaning", "A", "", "L", "the meaning is empty"},
      {"closing_tag_in_meaning", "A", "x</ABB>y", "L",
       "the meaning holds the field markup's tag </ABB>"},
      {"tag_in_small_letters", "a<text>", "t", "L",
       "the abbreviation holds the field markup's tag <text>"},
      {"unknown_direction", "A", "a", "RTL", "the direction \"RTL\" is not L or R"}};
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EntryRefusal(c.abb, c.text, c.direction), c.refusal);
  }
}

class EntryTransferTest : public LibraryTest {};

TEST_F(EntryTransferTest, ReadsEveryEntryInAbbreviationOrder) {
  std::string path = NewLibrary();
  ExecSql(path,
          "insert into abbreviations (direction, abb, abbtext) values ('L','b','beta'),"
          "('R','A','alpha'),('L','C','it''s')");
  auto entries = ReadAllEntries(path);
  ASSERT_TRUE(entries);
  std::vector<std::string> read;
  for (const AbbreviationEntry& e : *entries)
    read.push_back(e.direction + "|" + e.abb + "|" + e.abbtext);
  EXPECT_THAT(read, ::testing::ElementsAre("R|A|alpha", "L|b|beta", "L|C|it's"));
}

TEST_F(EntryTransferTest, ImportAddsRefusesAndCountsDuplicates) {
  std::string path = NewLibrary();
  std::string abb = "ML", text = "machine learning";
  CheckAbbrevExistance_Add_todB(path, abb, text, "L", false);
  std::vector<OfferedEntry> offered = {
      {2, "", "PCA", "principal component analysis", ""},
      {3, "L", " ml ", "MACHINE LEARNING", ""},  // present by the rule of add
      {4, "L", "X", "", ""},
      {5, "r", "PCA ", "Principal Component Analysis", ""},  // the row 2 entry again
      {6, "L", "Y", "y", "the row has one cell"},
      {7, "R", "\xD7\x90", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", ""},
  };
  ImportReport report = ImportEntries(path, offered);
  EXPECT_EQ(std::tuple(report.failed, report.added, report.present, report.refused),
            std::tuple(false, 2, 2, 2));
  ASSERT_EQ(report.outcomes.size(), offered.size());
  EXPECT_EQ(report.outcomes[1].abb, "ml");
  EXPECT_EQ(report.outcomes[2].reason, "the meaning is empty");
  EXPECT_EQ(report.outcomes[4].reason, "the row has one cell");
  EXPECT_EQ(report.outcomes[5].kind, EntryOutcome::Kind::kAdded);
  EXPECT_THAT(LibraryEntries(path),
              ::testing::ElementsAre("L|ML|machine learning", "L|PCA|principal component analysis",
                                     "R|\xD7\x90|\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"));
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_FALSE(ReadAllEntries(dir.File("missing.abb")));  // a missing library reads as nothing
  EXPECT_EQ(messages.Texts().size(), 1u);
}

TEST_F(EntryTransferTest, ALibraryThatTakesNothingLeavesNothingImported) {
  std::string path = NewLibrary();
  // A trigger stands for a library that stops taking entries after the first one.
  ExecSql(path,
          "create trigger full before insert on abbreviations when (select count(*) from "
          "abbreviations) >= 1 begin select raise(abort, 'disk full'); end");
  ImportReport report = ImportEntries(path, {{2, "L", "A", "a", ""}, {3, "L", "B", "b", ""}});
  EXPECT_EQ(std::pair(report.failed, report.added), std::pair(true, 0L));
  EXPECT_EQ(ReadAllEntries(path)->size(), 0u);
  EXPECT_FALSE(messages.Texts().empty());
}

}  // namespace
}  // namespace quillon::library
