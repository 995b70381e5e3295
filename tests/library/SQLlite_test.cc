#include "library/SQLlite.h"

#include "base/Text.h"
#include "library/LibraryFixture.h"
#include "support/ReadOnly.h"
#include "support/RecordedRows.h"

namespace quillon::library {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;

class SQLliteTest : public LibraryTest {
 protected:
  void Add(const std::string& path, std::string abb, std::string text, const char* dir = "L") {
    ASSERT_EQ(CheckAbbrevExistance_Add_todB(path, abb, text, dir, false), AddOutcome::kAdded);
  }
};

TEST_F(SQLliteTest, ListingFollowsSortColumnAndOrder) {
  std::string path = NewLibrary();
  Add(path, "beta", "Zeta", "R");  // inserted first: the order without a sort column
  Add(path, "ALPHA", "mid");
  Add(path, "gamma", "apple");
  struct Case {
    int16_t column, order;
    std::vector<std::string> abbs;  // in listing order
  } cases[] = {
      {0, 0, {"beta", "ALPHA", "gamma"}}, {2, 1, {"ALPHA", "beta", "gamma"}},
      {2, 2, {"gamma", "beta", "ALPHA"}}, {2, 0, {"ALPHA", "beta", "gamma"}},
      {3, 1, {"gamma", "ALPHA", "beta"}},
  };
  for (const Case& c : cases) {
    testing::RecordedRows rows;
    EXPECT_EQ(ListAbbreviations(path, c.column, c.order, rows).RowCount, 3);
    EXPECT_EQ(rows.Column(1), c.abbs) << c.column << "/" << c.order;
  }
  // By direction: the right-to-left entry comes last going up and first going down.
  for (int16_t order : {1, 2}) {
    testing::RecordedRows rows;
    ListAbbreviations(path, 1, order, rows);
    EXPECT_THAT(order == 1 ? rows.rows.back() : rows.rows.front(),
                ElementsAre("R", "beta", "Zeta"));
    // Three columns, whatever else the table holds.
    EXPECT_THAT(rows.columnNames, ElementsAre("direction", "abb", "abbtext"));
  }
  EXPECT_EQ(State().LastListing.RowCount, 3);
}

TEST_F(SQLliteTest, EmptyLibraryReachesNoSinkAndGetsTheEmptyHeadings) {
  std::string path = NewLibrary();
  testing::RecordedRows rows;
  EXPECT_EQ(ListAbbreviations(path, 0, 0, rows).RowCount, 0);
  EXPECT_EQ(rows.begun, 0);
  // Widths: 30, 200 and the rest of the 650 less 250.
  for (auto [listed, first] :
       {std::pair{true, "direction|L/R|30"}, std::pair{false, "L/R|Direction|30"}}) {
    std::vector<std::string> headings;
    for (const ListingHeading& h : ListingHeadings(listed, 650)) {
      headings.push_back(h.key + "|" + h.caption + "|" + std::to_string(h.width));
    }
    EXPECT_THAT(headings, ElementsAre(first, "abb|Abbreviation|200", "abbtext|Text|400"));
  }
}

TEST_F(SQLliteTest, AddTrimsStoresVerbatimAndReportsTheNewEntry) {
  std::string path = NewLibrary();
  std::string abb = "  PD  ", text = "  Parkinson's disease ";
  std::vector<std::pair<std::string, std::string>> selected;
  auto outcome = CheckAbbrevExistance_Add_todB(
      path, abb, text, "L", true,
      [&](const std::string& a, const std::string& t) { selected.emplace_back(a, t); });
  EXPECT_EQ(outcome, AddOutcome::kAdded);
  EXPECT_TRUE(abb.empty() && text.empty());
  EXPECT_THAT(selected, ElementsAre(Pair("PD", "Parkinson's disease")));
  EXPECT_THAT(LibraryEntries(path), ElementsAre("L|PD|Parkinson's disease"));
  EXPECT_EQ(EntryIdOf("PD", "Parkinson's disease"), "");  // the five-column layout never numbers

  const std::string hostile = "x'); DROP TABLE abbreviations;--";
  Add(path, "H", "6\" pipe");
  Add(path, "H", hostile);
  EXPECT_TRUE(UpdateAbbreviation(path, "H", hostile, "H", hostile + "\"", "R"));
  EXPECT_THAT(LibraryEntries(path),
              ElementsAre("L|H|6\" pipe", "R|H|" + hostile + "\"", "L|PD|Parkinson's disease"));
  EXPECT_TRUE(DeleteAbbreviation(path, " H ", hostile + "\""));
  EXPECT_THAT(LibraryEntries(path), ElementsAre("L|H|6\" pipe", "L|PD|Parkinson's disease"));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SQLliteTest, UpdateChangesOnlyTheEditedEntry) {
  std::string path = TemplateLibrary();
  Add(path, "ABC", "alpha");
  Add(path, "ABC", "beta");
  ExecSql(path, "insert into abbreviations (direction, abb, abbtext) values ('L', 'abc', 'alpha')");
  EXPECT_EQ(EntryIdOf("ABC", "beta"), "2");  // the template layout numbers its rows
  EXPECT_EQ(EntryIdOf("ABC", "gamma"), "");
  EXPECT_TRUE(UpdateAbbreviation(path, "ABC", "alpha", "ABD", "alphabet", "R"));
  EXPECT_THAT(LibraryEntries(path), ElementsAre("L|ABC|beta", "R|ABD|alphabet", "L|abc|alpha"));
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
  ExecSql(
      path,
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 40000) "
      "insert into abbreviations (direction, abb, abbtext) select 'L', 'A' || i, 'M' || i from n");
  EXPECT_EQ(CountAbbreviations(), 40000);
  Add(path, "NEW", "one more");
  EXPECT_EQ(CountAbbreviations(), 40001);
  testing::RecordedRows rows;
  EXPECT_EQ(ListAbbreviations(path, 2, 1, rows).RowCount, 40001);
  EXPECT_EQ(rows.rows.size(), 40001u);
  EXPECT_EQ(AbbreviationCountText(40001), " 40001 abbreviations found");
}

TEST_F(SQLliteTest, FindsMarkupTagsInAnyCase) {
  struct Case {
    const char* value;
    const char* tag;
  } cases[] = {
      {"Fast Fourier Transform", ""},
      {"a</ABB>b", "</ABB>"},
      {"x <text> y", "<text>"},
      {"</Direction>", "</Direction>"},
      {"<dIrEcTiOn>", "<dIrEcTiOn>"},
      {"end</abbrev>", "</abbrev>"},
      {"<Abbreviation list>", "<Abbreviation list>"},
      {"<ABB", ""},
      {"a < b > c", ""},
      {"</Text> then <ABB>", "</Text>"},  // the first in the value, not in the list
  };
  for (const Case& c : cases) EXPECT_EQ(MarkupTagIn(c.value), c.tag) << c.value;
}

TEST_F(SQLliteTest, DuplicatesAreFoundTrimmedIgnoringCaseAndRunsOfBlanks) {
  std::string path = NewLibrary();
  Add(path, "abc ", "ALPHA");
  Add(path, "FFT", "Fast Fourier Transform");
  EXPECT_TRUE(AbbreviationExists(path, "ABC", "alpha", false));
  EXPECT_FALSE(AbbreviationExists(path, "école", "ÉTÉ", false));
  EXPECT_TRUE(AbbreviationExists(path, "fft", "  fast  fourier   transform ", false));
  EXPECT_FALSE(AbbreviationExists(path, "fft", "fast fouriertransform", false));
  Add(path, "ÉCOLE", "été");
  EXPECT_TRUE(AbbreviationExists(path, "école", "ÉTÉ", false));
  EXPECT_TRUE(messages.shown.empty());
  std::string abb = "ABC", text = " alpha";
  EXPECT_EQ(CheckAbbrevExistance_Add_todB(path, abb, text, "L", true), AddOutcome::kDuplicate);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Quillon plugin");
  EXPECT_EQ(CountAbbreviations(), 3);
  EXPECT_EQ(Fold("  a  b   c "), "A B C");
  EXPECT_EQ(Fold("\ta\t"), "\tA\t");  // only blanks are blanks
}

TEST_F(SQLliteTest, FindByPositionFindsTheFirstAtOrAfterTyped) {
  std::string path = NewLibrary();
  Add(path, "GAMMA", "g");
  Add(path, "ALPHA", "a");
  Add(path, "BETA", "b");
  struct Case {
    std::string typed, upper, abb;
  } cases[] = {{"b", "B", "BETA"}, {"beta", "BETA", "BETA"}, {"zzz", "ZZZ", ""},
               {"", "", "ALPHA"},  {"a", "A", "ALPHA"},      {"BETB", "BETB", "GAMMA"}};
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
  std::string path = NewLibrary();
  const std::string before = testing::ReadFile(path);
  {
    LibrarySession session;
    DropWorkingTable();
    CreateWorkingTable();
    EXPECT_FALSE(ListHas("ABC", "alpha"));
    AddToList("xyz", "omega", 40000);
    AddToList(" ABC ", "alpha ", 3);
    AddToList("ABC", "beta", 5);
    EXPECT_TRUE(ListHas("ABC", "alpha"));
    EXPECT_FALSE(ListHas("abc", "alpha"));  // exact comparison
    std::vector<std::string> rows;
    for (const WorkingRow& r : WorkingTableRows())
      rows.push_back(r.abb + "|" + r.text + "|" + r.page);
    // In the order of the capitalised abbreviation; pages as whole numbers.
    EXPECT_THAT(rows, ElementsAre("ABC|alpha|3", "ABC|beta|5", "xyz|omega|40000"));
    QueryResult types = QueryLibrary(path, "SELECT distinct typeof(FOP) FROM abbrevlist");
    EXPECT_EQ(types.Cells(2, 1), "integer");
    DropWorkingTable();
    EXPECT_FALSE(ListHas("ABC", "alpha"));  // the table is gone: reported, answered false
    EXPECT_EQ(messages.shown.size(), 1u);
  }
  // The table never was in the library file.
  EXPECT_EQ(testing::ReadFile(path), before);
}

TEST_F(SQLliteTest, FailuresReadAsEmptyResults) {
  std::string path = dir.File("plain.abb");
  ExecSql(path, "create table other (x)");  // a database without the table
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
  EXPECT_THAT(messages.Texts(), ElementsAre("error in adding field to database: the library " +
                                            readOnly + " is read-only"));
  EXPECT_EQ(testing::ReadFile(readOnly), before);
}

TEST_F(SQLliteTest, ChecksTheTableAndItsColumnsUpFront) {
  struct Case {
    std::string name, setup;
    const char* shown;  // after the library's path; nothing for a usable library
  } cases[] = {
      {"template.abb", "", nullptr},
      {"shell.abb",
       "create table abbreviations (Entry integer primary key, DIRECTION, abb, abbtext)", nullptr},
      {"noentry.abb", "create table abbreviations (direction, abb, abbtext)",
       " lacks the column entry"},
      {"other.abb", "create table other (x)", " has no table abbreviations"},
  };
  for (const Case& c : cases) {
    std::string path = dir.File(c.name);
    c.setup.empty() ? extractEmptyDatabase(path) : ExecSql(path, c.setup);
    const std::string before = testing::ReadFile(path);
    messages.shown.clear();
    EXPECT_EQ(CheckAbbreviationsTable(path), c.shown == nullptr) << c.name;
    if (c.shown != nullptr) {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_THAT(messages.shown[0].text, ::testing::EndsWith(path + c.shown));
    } else {
      EXPECT_TRUE(messages.shown.empty()) << c.name;
    }
    EXPECT_EQ(testing::ReadFile(path), before) << c.name;
  }
  EXPECT_FALSE(CheckAbbreviationsTable(dir.File("gone.abb")));
}

// What add and edit decide, and what they tell.
TEST_F(SQLliteTest, AddAndEditRefuseBlanksMarkupTagsAndDuplicates) {
  std::string path = NewLibrary();
  Add(path, "FFT", "Fast Fourier Transform");
  Add(path, "DFT", "Discrete Fourier Transform");
  const std::string tag = "\": the abbreviation fields of documents use that tag";
  struct Case {
    std::string abb, text;
    AddOutcome add;
    EditOutcome edit;  // of DFT into this pair
    std::string told;
  } cases[] = {
      {"   ", "x", AddOutcome::kRefused, EditOutcome::kRefused, "An abbreviation cannot be empty"},
      {"A</ABB>", "a", AddOutcome::kRefused, EditOutcome::kRefused,
       "The abbreviation cannot hold \"</ABB>" + tag},
      {"A", "one <TEXT> two", AddOutcome::kRefused, EditOutcome::kRefused,
       "The meaning cannot hold \"<TEXT>" + tag},
      {" fft ", "FAST  FOURIER TRANSFORM ", AddOutcome::kDuplicate, EditOutcome::kDuplicate,
       "Abbreviation already exists"},
  };
  for (const Case& c : cases) {
    std::string abb = c.abb, text = c.text;
    messages.shown.clear();
    EXPECT_EQ(CheckAbbrevExistance_Add_todB(path, abb, text, "L", false), c.add) << c.abb;
    EXPECT_EQ(abb, c.abb);  // a refused pair keeps its values
    EXPECT_EQ(EditAbbreviation(path, "DFT", "Discrete Fourier Transform", c.abb, c.text, "L"),
              c.edit)
        << c.abb;
    // Refusals are told also without showMessage; a duplicate only by the edit.
    EXPECT_EQ(messages.shown.size(), c.add == AddOutcome::kRefused ? 2u : 1u) << c.abb;
    EXPECT_THAT(messages.Texts(), ::testing::Each(c.told));
  }
  EXPECT_EQ(CountAbbreviations(), 2);
  // The entry itself is no duplicate: a new direction or case of its own letters goes in, and
  // the new values lose their surrounding blanks.
  EXPECT_EQ(EditAbbreviation(path, "DFT", "Discrete Fourier Transform", " dft ",
                             "discrete Fourier transform ", "R"),
            EditOutcome::kEdited);
  EXPECT_THAT(LibraryEntries(path),
              ElementsAre("L|FFT|Fast Fourier Transform", "R|dft|discrete Fourier transform"));
}

}  // namespace
}  // namespace quillon::library
