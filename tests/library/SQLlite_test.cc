#include "library/SQLlite.h"

#include "base/Text.h"
#include "library/LibraryFixture.h"
#include "support/ReadOnly.h"
#include "widgets/ListView.h"

namespace quillon::library {
namespace {

using ::testing::ElementsAre;

class SQLliteTest : public LibraryTest {
 protected:
  void Add(const std::string& path, std::string abb, std::string text, const char* dir = "L") {
    ASSERT_EQ(CheckAbbrevExistance_Add_todB(path, abb, text, dir, false), AddOutcome::kAdded);
  }
  static std::vector<std::string> Column(const widgets::ListView& list, int32_t column) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < list.ItemCount(); ++i) texts.push_back(list.ItemText(i, column));
    return texts;
  }
};

TEST_F(SQLliteTest, ListingStatementFollowsSortColumnAndOrder) {
  struct Case {
    int16_t column, order;
    const char* statement;
  } cases[] = {
      {0, 0, "SELECT direction, abb, abbtext FROM abbreviations "},
      {2, 2, "SELECT direction, abb, abbtext FROM abbreviations order by upper(abb) DESC"},
      {1, 1, "SELECT direction, abb, abbtext FROM abbreviations order by upper(direction) ASC"},
      {3, 0, "SELECT direction, abb, abbtext FROM abbreviations order by upper(abbtext)"},
      {7, 9, "SELECT direction, abb, abbtext FROM abbreviations "},
  };
  for (const Case& c : cases) EXPECT_EQ(ListingStatement(c.column, c.order), c.statement);
}

TEST_F(SQLliteTest, ListsBothLayoutsInTheChosenOrder) {
  for (bool templateLayout : {true, false}) {
    std::string path = templateLayout ? TemplateLibrary() : NewLibrary();
    Add(path, "beta", "second");
    Add(path, "ALPHA", "first", "R");
    Add(path, "Gamma", "third");
    widgets::ListView list;
    list.SetWidth(650);
    const QueryResult& listing = ListAbbreviations(path, 2, 2, list);
    EXPECT_EQ(listing.RowCount, 3);
    EXPECT_EQ(State().LastListing.RowCount, 3);
    EXPECT_THAT(Column(list, 1), ElementsAre("Gamma", "beta", "ALPHA"));
    EXPECT_THAT(Column(list, 0), ElementsAre("L", "L", "R"));
    EXPECT_EQ(list.ColumnAt(0).Caption, "L/R");
    EXPECT_EQ(list.ColumnAt(0).Width, 30);
    EXPECT_EQ(list.ColumnAt(1).Caption, "Abbreviation");
    EXPECT_EQ(list.ColumnAt(2).Caption, "Text");
    EXPECT_EQ(list.ColumnAt(2).Width, 400);
  }
}

TEST_F(SQLliteTest, EmptyLibraryShowsTheEmptyColumns) {
  std::string path = NewLibrary();
  widgets::ListView list;
  list.SetWidth(500);
  EXPECT_EQ(ListAbbreviations(path, 0, 0, list).RowCount, 0);
  EXPECT_EQ(list.ItemCount(), 0);
  ASSERT_EQ(list.ColumnCount(), 3);
  EXPECT_EQ(list.ColumnAt(0).key, "L/R");
  EXPECT_EQ(list.ColumnAt(0).Caption, "Direction");
  EXPECT_EQ(list.ColumnAt(1).Caption, "Abbreviation");
  EXPECT_EQ(list.ColumnAt(2).Width, 250);
}

TEST_F(SQLliteTest, DuplicatesAreFoundTrimmedAndIgnoringCase) {
  std::string path = NewLibrary();
  Add(path, "abc ", "ALPHA");
  EXPECT_TRUE(AbbreviationExists(path, "ABC", "alpha", false));
  EXPECT_TRUE(messages.shown.empty());
  std::string abb = "ABC", text = " alpha";
  EXPECT_EQ(CheckAbbrevExistance_Add_todB(path, abb, text, "L", true), AddOutcome::kDuplicate);
  EXPECT_THAT(messages.Texts(), ElementsAre("Abbreviation already exists"));
  EXPECT_EQ(messages.shown[0].title, "Quillon plugin");
  EXPECT_EQ(abb, "ABC");  // a refused pair keeps its values
  EXPECT_TRUE(AbbreviationExists(path, "école", "ÉTÉ", false) == false);
  Add(path, "ÉCOLE", "été");
  EXPECT_TRUE(AbbreviationExists(path, "école", "ÉTÉ", false));
  EXPECT_EQ(CountAbbreviations(), 2);
}

TEST_F(SQLliteTest, AddTrimsStoresVerbatimAndReportsTheNewEntry) {
  std::string path = NewLibrary();
  std::string abb = "  PD  ", text = "  Parkinson's disease ";
  std::vector<std::pair<std::string, std::string>> selected;
  auto outcome = CheckAbbrevExistance_Add_todB(
      path, abb, text, "L", true,
      [&](const std::string& a, const std::string& t) { selected.emplace_back(a, t); });
  EXPECT_EQ(outcome, AddOutcome::kAdded);
  EXPECT_EQ(abb, "");
  EXPECT_EQ(text, "");
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0].first, "PD");
  auto entry = FindEntry(path, "PD", "Parkinson's disease");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->direction, "L");
  EXPECT_EQ(entry->entry, "");  // the five-column layout never numbers its rows

  const std::string hostile = "x'); DROP TABLE abbreviations;--";
  for (const std::string& meaning : {std::string("6\" pipe"), hostile}) {
    Add(path, "H", meaning);
    EXPECT_TRUE(FindEntry(path, "H", meaning).has_value()) << meaning;
  }
  EXPECT_TRUE(UpdateAbbreviation(path, "H", hostile, "H", hostile + "\"", "R"));
  EXPECT_EQ(FindEntry(path, "H", hostile + "\"")->direction, "R");
  EXPECT_TRUE(DeleteAbbreviation(path, " H ", hostile + "\""));
  EXPECT_FALSE(FindEntry(path, "H", hostile + "\"").has_value());
  EXPECT_EQ(CountAbbreviations(), 2);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SQLliteTest, UpdateChangesOnlyTheEditedEntry) {
  std::string path = TemplateLibrary();
  Add(path, "ABC", "alpha");
  Add(path, "ABC", "beta");
  Exec(path, "insert into abbreviations (direction, abb, abbtext) values ('L', 'abc', 'alpha')");
  EXPECT_TRUE(UpdateAbbreviation(path, "ABC", "alpha", "ABD", "alphabet", "R"));
  EXPECT_TRUE(FindEntry(path, "ABD", "alphabet").has_value());
  EXPECT_TRUE(FindEntry(path, "ABC", "beta").has_value());
  EXPECT_TRUE(FindEntry(path, "abc", "alpha").has_value());
  EXPECT_FALSE(FindEntry(path, "ABC", "alpha").has_value());
  EXPECT_EQ(DirectionOf("ABD"), "R");
  EXPECT_EQ(DirectionOf("ABC"), "L");
  EXPECT_EQ(DirectionOf("none"), "");
}

TEST_F(SQLliteTest, EntryIdOfNumbersOnlyTheTemplateLayout) {
  std::string numbered = TemplateLibrary();
  Add(numbered, "A", "one");
  Add(numbered, "B", "two");
  EXPECT_EQ(EntryIdOf("B", "two"), "2");
  EXPECT_EQ(EntryIdOf("B", "one"), "");
  NewLibrary();
  Add(State().LibraryPath, "B", "two");
  EXPECT_EQ(EntryIdOf("B", "two"), "");
}

TEST_F(SQLliteTest, FindByPositionFindsTheFirstAtOrAfterTyped) {
  std::string path = NewLibrary();
  Add(path, "GAMMA", "g");
  Add(path, "ALPHA", "a");
  Add(path, "BETA", "b");
  struct Case {
    std::string typed, upper, abb;
  } cases[] = {{"b", "B", "BETA"}, {"beta", "BETA", "BETA"}, {"zzz", "ZZZ", ""},
               {"", "", ""},       {"a", "A", "ALPHA"},      {"BETB", "BETB", "GAMMA"}};
  for (Case& c : cases) {
    std::string abb = "old", text = "old";
    FindByPosition(c.typed, abb, text);
    EXPECT_EQ(c.typed, c.upper);
    EXPECT_EQ(abb, c.abb) << c.upper;
    EXPECT_EQ(text, c.abb.empty() ? "" : LowerCase(c.abb.substr(0, 1)));
  }
  EXPECT_EQ(State().LastListing.Cells(1, 1), "");
}

TEST_F(SQLliteTest, WorkingTableKeepsDistinctPairsWithTheirFirstPage) {
  NewLibrary();
  DropWorkingTable();
  CreateWorkingTable();
  EXPECT_FALSE(ListHas("ABC", "alpha"));
  AddToList(" ABC ", "alpha ", 3);
  AddToList("XYZ", "omega", 40000);
  EXPECT_TRUE(ListHas("ABC", "alpha"));
  EXPECT_FALSE(ListHas("abc", "alpha"));  // exact comparison
  QueryResult rows = QueryLibrary(
      State().LibraryPath, "SELECT abb, text, FOP, typeof(FOP) FROM abbrevlist order by abb");
  ASSERT_EQ(rows.RowCount, 2);
  EXPECT_EQ(rows.Cells(2, 3), "3");
  EXPECT_EQ(rows.Cells(2, 4), "integer");
  EXPECT_EQ(rows.Cells(3, 3), "40000");
  DropWorkingTable();
  EXPECT_FALSE(ListHas("ABC", "alpha"));  // the table is gone: reported, answered false
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(SQLliteTest, SessionResultsFollowWritesToTheirTables) {
  std::string path = NewLibrary();
  LibrarySession session;
  DropWorkingTable();
  CreateWorkingTable();
  EXPECT_EQ(DirectionOf("X"), "");
  EXPECT_FALSE(ListHas("X", "x"));
  AddToList("X", "x", 1);  // a write to the working table: the list answer changes
  EXPECT_TRUE(ListHas("X", "x"));
  EXPECT_EQ(DirectionOf("X"), "");
  Add(path, "X", "x", "R");  // a write to the abbreviations: the direction changes
  EXPECT_EQ(DirectionOf("X"), "R");
  UpdateAbbreviation(path, "X", "x", "X", "x", "L");
  EXPECT_EQ(DirectionOf("X"), "L");
  DropWorkingTable();  // a schema change forgets everything kept
  EXPECT_FALSE(ListHas("X", "x"));
}

TEST_F(SQLliteTest, CountsAndListsBeyondSixteenBits) {
  std::string path = NewLibrary();
  Exec(path,
       "with recursive n(i) as (select 1 union all select i + 1 from n where i < 40000) "
       "insert into abbreviations (direction, abb, abbtext) select 'L', 'A' || i, 'M' || i from n");
  EXPECT_EQ(CountAbbreviations(), 40000);
  Add(path, "NEW", "one more");
  EXPECT_EQ(CountAbbreviations(), 40001);
  widgets::ListView list;
  EXPECT_EQ(ListAbbreviations(path, 2, 1, list).RowCount, 40001);
  EXPECT_EQ(list.ItemCount(), 40001);
  EXPECT_EQ(AbbreviationCountText(40001), " 40001 abbreviations found");
}

TEST_F(SQLliteTest, FailuresReadAsEmptyResults) {
  std::string path = dir.File("plain.abb");
  Exec(path, "create table other (x)");  // a database without the table
  State().LibraryPath = path;
  EXPECT_EQ(CountAbbreviations(), 0);
  EXPECT_EQ(DirectionOf("A"), "");
  std::string abb = "A", text = "a";
  EXPECT_EQ(CheckAbbrevExistance_Add_todB(path, abb, text, "L", true), AddOutcome::kFailed);
  ASSERT_EQ(messages.shown.size(), 3u);  // one per statement tried, no more
  EXPECT_NE(messages.shown.back().text.find("no such table: abbreviations"), std::string::npos);

  std::string readOnly = TemplateLibrary("readonly.abb");
  testing::MakeReadOnly(readOnly);
  std::string before = testing::ReadFile(readOnly);
  messages.shown.clear();
  {
    testing::ScopedUnprivileged asNobody;
    EXPECT_FALSE(AddAbbreviation(readOnly, "A", "a", "L"));
  }
  EXPECT_THAT(messages.Texts(),
              ::testing::Contains("error in adding field to database, try again later"));
  EXPECT_EQ(testing::ReadFile(readOnly), before);
}

}  // namespace
}  // namespace quillon::library
