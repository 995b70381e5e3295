#include "widgets/MartenComboBox.h"
#include "support/WidgetErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "widgets/MartenComboBoxPattern.h"
#include "widgets/MartenComboBoxSortKeys.h"

namespace quillon::widgets {
namespace {

using Combo = MartenComboBox;
using Texts = std::vector<std::string>;

// The texts of one column (the first by default) from the top row down.
Texts Rows(const Combo& c, int32_t column = 0) {
  Texts rows;
  for (int32_t r = 0; r < c.ListCount(); ++r) rows.push_back(c.ItemText(r, column));
  return rows;
}

void Fill(Combo& c, const Texts& texts) {
  for (const std::string& t : texts) c.AddItem(t);
}

// Reads a getter as the property bag stores it: colours and short numbers as int32_t, single
// precision as double.
template <auto Getter>
PropertyValue Read(const Combo& c) {
  const auto value = (c.*Getter)();
  using T = std::decay_t<decltype(value)>;
  if constexpr (std::is_same_v<T, float>) {
    return static_cast<double>(value);
  } else if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    return static_cast<int32_t>(value);
  } else {
    return value;
  }
}

struct PropertyCase {
  const char* key;
  PropertyValue defaultValue;  // as it must read back from an empty bag
  PropertyValue other;         // a non-default value to store
  PropertyValue (*get)(const Combo&);
};

PropertyValue Color(OleColor c) {
  return static_cast<int32_t>(c);
}

Font ContainerFont() {
  Font f;
  f.Name = "Container";
  return f;
}

// Every stored key with its default: saved forms rely on both.
std::vector<PropertyCase> PropertyCases() {
  Font other;
  other.Name = "Other";
  other.Bold = true;
  return {
      {"BackColor", Color(0x80000005), Color(0xFF), Read<&Combo::BackColor>},
      {"BackColorEdit", Color(0x80000005), Color(0xFF), Read<&Combo::BackColorEdit>},
      {"BackColorFixed", Color(0x8000000F), Color(0xFF), Read<&Combo::BackColorFixed>},
      {"BackColorSel", Color(0x8000000D), Color(0xFF), Read<&Combo::BackColorSel>},
      {"ForeColor", Color(0x80000008), Color(0xFF), Read<&Combo::ForeColor>},
      {"ForeColorEdit", Color(0x80000008), Color(0xFF), Read<&Combo::ForeColorEdit>},
      {"ForeColorSel", Color(0x8000000E), Color(0xFF), Read<&Combo::ForeColorSel>},
      {"ArrowColor", Color(0x80000012), Color(0xFF), Read<&Combo::ArrowColor>},
      {"BorderColor", Color(0), Color(0xFF), Read<&Combo::BorderColor>},
      {"BorderCurve", int32_t{5}, int32_t{0}, Read<&Combo::BorderCurve>},
      {"BorderStyle", int32_t{1}, int32_t{4}, Read<&Combo::BorderStyle>},
      {"BorderWidth", int32_t{1}, int32_t{2}, Read<&Combo::BorderWidth>},
      {"ButtonBackColor", Color(0x8000000F), Color(0xFF), Read<&Combo::ButtonBackColor>},
      {"DisplayEllipsis", false, true, Read<&Combo::DisplayEllipsis>},
      {"FocusRectColor", Color(65535), Color(0xFF), Read<&Combo::FocusRectColor>},
      {"FocusRectStyle", int32_t{1}, int32_t{0}, Read<&Combo::FocusRectStyle>},
      {"HotArrowColor", Color(0x80000012), Color(0xFF), Read<&Combo::HotArrowColor>},
      {"HotBorderColor", Color(0), Color(0xFF), Read<&Combo::HotBorderColor>},
      {"HotButtonBackColor", Color(0x8000000F), Color(0xFF), Read<&Combo::HotButtonBackColor>},
      {"ThemeStyle", int32_t{2}, int32_t{0}, Read<&Combo::ThemeStyle>},
      {"AutoComplete", false, true, Read<&Combo::AutoComplete>},
      {"ColumnResize", false, true, Read<&Combo::ColumnResize>},
      {"ColumnSort", false, true, Read<&Combo::ColumnSort>},
      {"Editable", false, true, Read<&Combo::Editable>},
      {"Alignment", int32_t{0}, int32_t{2}, Read<&Combo::Alignment>},
      {"CacheIncrement", int32_t{10}, int32_t{3}, Read<&Combo::CacheIncrement>},
      {"ColumnHeaders", false, true, Read<&Combo::ColumnHeaders>},
      {"DropDownAutoWidth", false, true, Read<&Combo::DropDownAutoWidth>},
      {"DropDownItemsVisible", int32_t{8}, int32_t{3}, Read<&Combo::DropDownItemsVisible>},
      {"DropDownWidth", 0.0, 1500.5, Read<&Combo::DropDownWidth>},
      {"Enabled", true, false, Read<&Combo::Enabled>},
      {"IntegralHeight", false, true, Read<&Combo::IntegralHeight>},
      {"Locked", false, true, Read<&Combo::Locked>},
      {"MaxLength", int32_t{0}, int32_t{12}, Read<&Combo::MaxLength>},
      {"PageScrollItems", int32_t{8}, int32_t{4}, Read<&Combo::PageScrollItems>},
      {"RequireCheckedItem", false, true, Read<&Combo::RequireCheckedItem>},
      {"RowHeightMin", 0.0, 255.0, Read<&Combo::RowHeightMin>},
      {"ScaleUnits", int32_t{1}, int32_t{3}, Read<&Combo::ScaleUnits>},
      {"SearchColumn", int32_t{0}, int32_t{1}, Read<&Combo::SearchColumn>},
      {"Style", int32_t{0}, int32_t{1}, Read<&Combo::Style>},
      {"TextAll", std::string("-- All --"), std::string("all"), Read<&Combo::TextAll>},
      {"TextNone", std::string("-- None --"), std::string("none"), Read<&Combo::TextNone>},
      {"TextSelection", std::string("-- Selection --"), std::string("some"),
       Read<&Combo::TextSelection>},
      {"Font", ContainerFont(), other, Read<&Combo::Font>},
      {"DropDownFont", ContainerFont(), other, Read<&Combo::DropDownFont>},
      {"Cols", int32_t{1}, int32_t{3}, Read<&Combo::Cols>},
  };
}

TEST(MartenComboBoxProperties, EmptyBagGivesEveryDefaultAndWritesNothingBack) {
  Combo c;
  MemoryPropertyBag bag;
  c.ReadProperties(bag, ContainerFont());
  Combo placed;  // a newly placed control has the same defaults
  placed.InitProperties(ContainerFont());
  for (const PropertyCase& p : PropertyCases()) {
    EXPECT_EQ(p.get(c), p.defaultValue) << p.key;
    EXPECT_EQ(p.get(placed), p.defaultValue) << p.key;
  }
  c.WriteProperties(bag, ContainerFont());
  EXPECT_EQ(bag.Size(), 0u);
}

TEST(MartenComboBoxProperties, EachKeyIsReadAndWrittenUnderItsName) {
  for (const PropertyCase& p : PropertyCases()) {
    MemoryPropertyBag bag;
    bag.Write(p.key, p.other);
    Combo c;
    c.ReadProperties(bag, ContainerFont());
    EXPECT_EQ(p.get(c), p.other) << p.key;
    MemoryPropertyBag out;
    c.WriteProperties(out, ContainerFont());
    EXPECT_EQ(out.Size(), 1u) << p.key;
    EXPECT_EQ(out.Read(p.key), p.other) << p.key;
  }
}

TEST(MartenComboBoxList, AddItemRowPlacement) {
  Combo c;
  Fill(c, {"a", "b"});
  c.AddItem("end", 2);   // row equal to the count appends
  c.AddItem("top", 0);   // row 0 inserts at the top
  c.AddItem("mid", 2);   // shifts the rows from 2 down
  c.AddItem("neg", -5);  // negative appends
  EXPECT_EQ(Rows(c), (Texts{"top", "a", "mid", "b", "end", "neg"}));
  EXPECT_EQ(c.NewIndex(), 5);
  EXPECT_EQ(c.ItemOfRow(0), 3);  // items keep their adding order
}

TEST(MartenComboBoxList, TabsSplitIntoColumns) {
  Combo c;
  c.SetCols(3);
  c.AddItem("one\ttwo");
  c.AddItem("a\tb\tc\td");
  EXPECT_EQ(Rows(c), (Texts{"one", "a"}));
  EXPECT_EQ(Rows(c, 1), (Texts{"two", "b"}));
  EXPECT_EQ(Rows(c, 2), (Texts{"", "c"}));  // the fourth piece is dropped
  Combo single;
  single.AddItem("one\ttwo");
  EXPECT_EQ(single.List(0), "one\ttwo");  // one column: the whole text
  // Columns added later have no texts yet.
  c.SetCols(5);
  EXPECT_EQ(c.ItemText(0, 4), "");
  c.SetItemText(0, 4, "x");
  EXPECT_EQ(c.ItemText(0, 4), "x");
}

TEST(MartenComboBoxList, NewItemRecord) {
  Combo c;
  c.SetForeColor(0x0000FF);
  Font bold;
  bold.Bold = true;
  c.SetDropDownFont(bold);
  c.AddItem("x", -1, false, 7);
  EXPECT_EQ(std::make_tuple(c.ItemForeColor(0), c.ItemImage(0), c.ItemFontBold(0), c.ItemChecked(0),
                            c.ItemData(0)),
            std::make_tuple(0x0000FFu, 7, true, false, 0));
}

TEST(MartenComboBoxList, RemoveItemRenumbersRows) {
  Combo c;
  Fill(c, {"b", "c", "a"});
  c.Sort(0);        // rows: a(2) b(0) c(1)
  c.RemoveItem(1);  // removes item 0
  EXPECT_EQ(Rows(c), (Texts{"a", "c"}));
  EXPECT_EQ(std::make_tuple(c.ItemOfRow(0), c.ItemOfRow(1), c.NewIndex()),
            std::make_tuple(1, 0, 1));
  c.SetListIndex(1);
  c.RemoveItem(0);  // ListIndex 1 is now past the last row
  EXPECT_EQ(c.ListIndex(), 0);
  EXPECT_EQ(c.Text(), "c");
}

TEST(MartenComboBoxList, ClearAndRemovingTheLastRowResetState) {
  for (bool clear : {true, false}) {
    Combo c;
    Fill(c, {"x", "y"});
    c.Sort(0, true, 0);
    c.SetListIndex(1);
    if (clear) {
      c.Clear();
    } else {
      c.RemoveItem(1);
      c.RemoveItem(0);
    }
    EXPECT_EQ(std::make_tuple(c.ListCount(), c.NewIndex(), c.ListIndex(), c.Text(), c.SortColumn(),
                              c.StoreCapacity()),
              std::make_tuple(0, -1, -1, "", -1, 1u))
        << clear;
  }
}

TEST(MartenComboBoxErrors, NumbersAndMessagesLeaveTheListUnchanged) {
  Combo c;
  c.SetMaxLastIndexForTesting(1);
  Fill(c, {"a", "b"});
  const struct {
    std::function<void()> action;
    int number;
    const char* description;
  } cases[] = {
      {[&] { c.AddItem("c"); }, 381, "Maximum ListItems Exceeded"},
      {[&] { c.SetText("x"); }, 383, "Text is Read-Only"},  // not editable
      {[&] { (void)c.List(2); }, 9, "Subscript out of range"},
      {[&] { (void)c.ItemText(0, 1); }, 9, "Subscript out of range"},
      {[&] { c.RemoveItem(-1); }, 9, "Subscript out of range"},
      {[&] { c.SetListIndex(2); }, 9, "Subscript out of range"},
      {[&] { c.Sort(2); }, 9, "Subscript out of range"},
      {[&] { c.Sort(0, true, 5); }, 9, "Subscript out of range"},  // a bad second column
  };
  for (const auto& k : cases)
    testing::ExpectWidgetError(k.action, k.number, "MartenComboBox", k.description);
  EXPECT_EQ(Rows(c), (Texts{"a", "b"}));
  EXPECT_EQ(c.SortColumn(), -1);  // no sort was started
}

TEST(MartenComboBoxSort, RepeatedSortAlternatesAndCodeUnitOrder) {
  Combo c;
  Fill(c, {"TheFreeDictionary", "Acronyma", "All-Acronyms", "AcronymFinder", "acronym"});
  int completions = 0;
  c.events().SortComplete = [&] { ++completions; };
  c.Sort(0);
  EXPECT_TRUE(c.ColAscending(0));
  EXPECT_EQ(Rows(c),
            (Texts{"AcronymFinder", "Acronyma", "All-Acronyms", "TheFreeDictionary", "acronym"}));
  c.Sort(0);
  EXPECT_FALSE(c.ColAscending(0));
  EXPECT_EQ(Rows(c),
            (Texts{"acronym", "TheFreeDictionary", "All-Acronyms", "Acronyma", "AcronymFinder"}));
  c.Sort(0, true);  // a given direction is taken as is
  EXPECT_EQ(c.List(0), "AcronymFinder");
  c.Sort();  // no column: the primary one again, inverted
  EXPECT_EQ(c.List(0), "acronym");
  EXPECT_EQ(completions, 4);
}

TEST(MartenComboBoxSort, NumberAndDateColumns) {
  Combo c;
  c.SetCols(2);
  Fill(c, {"10 apples\t2024-01-05", "9\t12/31/2023", "x\tnot a date", "-2.5\t5 March 2024",
           "1e2\t2024-01-05 08:00"});
  c.SetColType(0, Combo::kNumber);
  c.SetColType(1, Combo::kDate);
  c.Sort(0, true);
  EXPECT_EQ(Rows(c), (Texts{"-2.5", "x", "9", "10 apples", "1e2"}));
  c.Sort(1, true);
  EXPECT_EQ(Rows(c, 1),
            (Texts{"not a date", "12/31/2023", "2024-01-05", "2024-01-05 08:00", "5 March 2024"}));
}

TEST(MartenComboBoxSort, CustomSortAsksTheHost) {
  Combo c;
  Fill(c, {"bb", "a", "ccc"});
  c.SetColType(0, Combo::kCustom);
  int calls = 0;
  c.events().CustomSort = [&](bool ascending, int32_t column, const std::string& a,
                              const std::string& b, bool& result) {
    ++calls;
    EXPECT_EQ(column, 0);
    result = ascending ? a.size() > b.size() : a.size() < b.size();  // longest first
  };
  c.Sort(0);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(Rows(c), (Texts{"ccc", "bb", "a"}));
}

TEST(MartenComboBoxSort, PrimaryAndSecondaryColumns) {
  Combo c;
  c.SetCols(2);
  Fill(c, {"b\t2", "a\t9", "b\t1", "a\t3", "b\t3"});
  c.SetColType(1, Combo::kNumber);
  c.Sort(0, true, 1, false);
  EXPECT_EQ(std::make_pair(c.SortColumn(), c.SecondarySortColumn()), std::make_pair(0, 1));
  EXPECT_EQ(Rows(c), (Texts{"a", "a", "b", "b", "b"}));
  EXPECT_EQ(Rows(c, 1), (Texts{"9", "3", "3", "2", "1"}));

  // The same column twice clears the second.
  Combo d;
  d.SetCols(2);
  d.Sort(0, true, 0);
  EXPECT_EQ(std::make_pair(d.SortColumn(), d.SecondarySortColumn()), std::make_pair(0, -1));
}

// A second column alone becomes the primary one and follows the primary's rule: the primary's
// direction argument, or its own flag inverted; the direction given for it is not used.
TEST(MartenComboBoxSort, PromotedSecondColumnTakesThePrimaryRule) {
  const struct {
    std::optional<bool> ascending, ascending2;
    bool expected;
  } cases[] = {
      {std::nullopt, false, true},  // flag false at creation, inverted: ascending
      {std::nullopt, true, true},
      {false, true, false},
      {true, false, true},
  };
  for (const auto& k : cases) {
    Combo c;
    c.SetCols(2);
    Fill(c, {"x\tb", "y\ta", "z\tc"});
    c.Sort(-1, k.ascending, 1, k.ascending2);
    EXPECT_EQ(std::make_pair(c.SortColumn(), c.SecondarySortColumn()), std::make_pair(1, -1));
    EXPECT_EQ(c.ColAscending(1), k.expected);
    EXPECT_EQ(c.ItemText(0, 1), k.expected ? "a" : "c");
  }
}

TEST(MartenComboBoxFormat, PiecesSetAlignmentsAndHeadings) {
  Combo c;
  c.SetColWidth(0, 300);
  c.SetFormatString("<Left|^Centre|>Right");
  EXPECT_EQ(c.FormatString(), "<Left|^Centre|>Right");
  ASSERT_EQ(c.Cols(), 3);
  const char* headings[] = {"Left", "Centre", "Right"};
  for (int32_t col = 0; col < 3; ++col) {
    EXPECT_EQ(c.ColAlignment(col), col);
    EXPECT_EQ(c.ColHeading(col), headings[col]);
  }
  EXPECT_EQ(c.ColWidth(0), 1000.0f);

  c.SetColAlignment(1, 2);
  c.SetColWidth(1, 300);
  c.SetFormatString("Name|Site");  // fewer pieces: columns kept, alignment kept
  EXPECT_EQ(
      std::make_tuple(c.Cols(), c.ColHeading(1), c.ColAlignment(1), c.ColWidth(1), c.ColHeading(2)),
      std::make_tuple(3, "Site", 2, 1000.0f, "Right"));
}

TEST(MartenComboBoxFormat, ColWidthFollowsScaleUnits) {
  Combo c;
  c.SetScaleUnits(3);  // pixels
  c.SetColWidth(0, 120);
  EXPECT_EQ(c.ColPixelWidth(0), 120);
  c.SetScaleUnits(5);  // inches
  EXPECT_EQ(c.ColPixelWidth(0), 11520);
  EXPECT_EQ(Combo::ToPixels(1, 7), 38);        // 1 cm
  EXPECT_EQ(Combo::ToPixels(2, 4, true), 32);  // 2 characters high
}

TEST(MartenComboBoxFormat, PixelsConvertBackToEachUnit) {
  const struct {
    int32_t units;
    bool vertical;
    int32_t pixels;
    double expected;
  } cases[] = {{1, false, 10, 150.0}, {2, false, 4, 3.0},  {3, false, 7, 7.0},
               {4, false, 16, 2.0},   {4, true, 16, 1.0},  {5, false, 48, 0.5},
               {6, false, 96, 25.4},  {7, false, 96, 2.54}};
  for (const auto& k : cases) {
    EXPECT_NEAR(Combo::FromPixels(k.pixels, k.units, k.vertical), k.expected, 1e-9) << k.units;
    EXPECT_EQ(
        Combo::ToPixels(Combo::FromPixels(k.pixels, k.units, k.vertical), k.units, k.vertical),
        k.pixels);
  }
}

// Style 2 unchecks every item and applies ListIndex again; then one item at most is checked.
TEST(MartenComboBoxChecks, OptionButtonsKeepOneChecked) {
  Combo c;
  c.SetStyle(Combo::kCheckBoxes);
  Fill(c, {"a", "b", "c"});
  c.SetItemChecked(0, true);
  c.SetItemChecked(1, true);
  int clicks = 0;
  c.events().Click = [&] { ++clicks; };
  c.SetStyle(Combo::kOptionButtons);
  EXPECT_EQ(c.SelCount(), 0);
  EXPECT_EQ(clicks, 1);
  c.SetItemChecked(0, true);
  c.SetItemChecked(2, true);
  EXPECT_EQ(c.SelCount(), 1);
  EXPECT_TRUE(c.ItemChecked(2));
  c.UpdateCheckedText();  // closing the list shows the checked row
  EXPECT_EQ(c.Text(), "c");
}

TEST(MartenComboBoxChecks, CheckBoxesAllNoneSelection) {
  Combo c;
  c.SetStyle(Combo::kCheckBoxes);
  Fill(c, {"a", "b", "c"});
  // Checking one row more each time, the text shown once it is recomputed.
  for (auto [row, shown] :
       {std::pair{-1, "-- None --"}, {0, "a"}, {1, "-- Selection --"}, {2, "-- All --"}}) {
    if (row >= 0) c.SetItemChecked(row, true);
    c.UpdateCheckedText();  // what closing the list does
    EXPECT_EQ(c.Text(), shown) << row;
  }
  EXPECT_EQ(c.SelCount(), 3);
  c.SetTextAll("everything");
  c.UpdateCheckedText();
  EXPECT_EQ(c.Text(), "everything");
  c.AddItem("d", -1, true);
  EXPECT_EQ(c.SelCount(), 4);
}

// Checks alone do not move the current row or the shown text: that happens where the text is
// recomputed (setting Text, closing the list), never silently behind the host's back.
TEST(MartenComboBoxChecks, ChecksDoNotMoveListIndexUntilRecomputed) {
  Combo c;
  c.SetStyle(Combo::kCheckBoxes);
  c.SetEditable(true);
  Fill(c, {"a", "b", "c"});
  c.SetListIndex(0);
  int clicks = 0;
  c.events().Click = [&] { ++clicks; };
  c.SetItemChecked(2, true);
  c.AddItem("d");
  c.RemoveItem(3);
  c.SetTextNone("nothing");
  EXPECT_EQ(std::make_tuple(c.ListIndex(), c.Text()), std::make_tuple(0, "a"));
  c.SetText("ignored");  // styles 1 and 2: the text follows the checks
  EXPECT_EQ(std::make_tuple(c.ListIndex(), c.Text()), std::make_tuple(2, "c"));
  EXPECT_EQ(clicks, 0);
}

TEST(MartenComboBoxChecks, SingleCheckShowsFirstVisibleColumn) {
  Combo c;
  c.SetCols(2);
  c.SetStyle(Combo::kCheckBoxes);
  c.AddItem("hidden\tshown");
  c.SetColVisible(0, false);
  c.SetItemChecked(0, true);
  c.UpdateCheckedText();
  EXPECT_EQ(c.Text(), "shown");
}

TEST(MartenComboBoxChecks, RequireCheckedItemHoldsTheLastCheck) {
  Combo c;
  c.SetStyle(Combo::kCheckBoxes);
  c.SetRequireCheckedItem(true);
  Fill(c, {"a", "b"});
  c.SetItemChecked(0, true);
  c.SetItemChecked(0, false);
  EXPECT_TRUE(c.ItemChecked(0));
  c.SetItemChecked(1, false);  // unchecking another item does not check it
  EXPECT_FALSE(c.ItemChecked(1));
  c.SetItemChecked(1, true);
  c.SetItemChecked(0, false);  // two were checked: allowed
  EXPECT_FALSE(c.ItemChecked(0));
}

TEST(MartenComboBoxText, EditableTextSelectsMatchingRow) {
  Combo c;
  c.SetEditable(true);
  Fill(c, {"alpha", "Beta", "beta"});
  c.SetText("beta");  // exact, case-sensitive
  EXPECT_EQ(std::make_tuple(c.ListIndex(), c.Text()), std::make_tuple(2, "beta"));
  c.SetText("gamma");
  EXPECT_EQ(std::make_tuple(c.ListIndex(), c.Text()), std::make_tuple(-1, "gamma"));
}

TEST(MartenComboBoxText, EditedTextIsCommittedUnlessCancelled) {
  Combo c;
  c.SetEditable(true);
  Fill(c, {"L", "R"});
  c.SetListIndex(1);
  Texts seen;
  bool cancel = true;
  c.events().EditTextChanged = [&](int32_t row, const std::string& oldText,
                                   const std::string& newText, bool& cancelIt) {
    seen.push_back(std::to_string(row) + ":" + oldText + ">" + newText);
    cancelIt = cancel;
  };
  EXPECT_TRUE(c.CommitEditText("R"));  // unchanged: no event
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(c.CommitEditText("Right"));
  EXPECT_EQ(c.Text(), "R");
  cancel = false;
  EXPECT_TRUE(c.CommitEditText("Right"));
  EXPECT_EQ(c.Text(), "Right");
  EXPECT_EQ(seen, (Texts{"1:R>Right", "1:R>Right"}));
}

TEST(MartenComboBoxText, Selection) {
  Combo c;
  c.SetEditable(true);
  c.SetText("größer");
  c.SetSelStart(2);
  c.SetSelLength(2);
  EXPECT_EQ(c.SelText(), "öß");
  c.SetSelText("X");
  EXPECT_EQ(std::make_tuple(c.Text(), c.SelStart()), std::make_tuple("grXer", 3));
  c.SetSelLength(99);
  EXPECT_EQ(c.SelLength(), 2);
}

TEST(MartenComboBoxText, SetItemByDataTextAndFallback) {
  Combo c;
  Fill(c, {"b", "a", "a"});
  c.SetItemData(0, 42);
  c.Sort(0, true);  // rows: a a b
  c.SetItem(42);
  EXPECT_EQ(c.ListIndex(), 2);
  c.SetItem("a");  // first item in adding order: item 1, row 0
  EXPECT_EQ(c.ListIndex(), 0);
  c.SetItem("zzz", 1);
  EXPECT_EQ(c.ListIndex(), 1);
  c.SetItem(7);  // not found, no fallback: unchanged
  EXPECT_EQ(c.ListIndex(), 1);
  c.SetListIndex(-1);  // no row: no text
  EXPECT_EQ(c.Text(), "");
}

TEST(MartenComboBoxSearch, Modes) {
  Combo c;
  Fill(c, {"AcronymFinder", "Acronyma", "All-Acronyms", "TheFreeDictionary"});
  const struct {
    const char* typed;
    Combo::SearchMode mode;
    int32_t row;
  } cases[] = {
      {"AL", Combo::kSearchAtOrAfter, 2},   {"B", Combo::kSearchAtOrAfter, 3},
      {"Z", Combo::kSearchAtOrAfter, -1},   {"acronyma", Combo::kSearchEqual, 1},
      {"acronym", Combo::kSearchEqual, -1}, {"acronym", Combo::kSearchPattern, 0},
      {"a?r", Combo::kSearchPattern, 0},    {"*dict", Combo::kSearchPattern, 3},
      {"[!a]", Combo::kSearchPattern, 3},   {"a[l-m]", Combo::kSearchPattern, 2},
      {"[", Combo::kSearchPattern, -1},
  };
  for (const auto& k : cases)
    EXPECT_EQ(c.FindRow(k.typed, k.mode), k.row) << k.typed << " mode " << k.mode;
}

// The search column's text is searched; the row found counts from the top.
TEST(MartenComboBoxSearch, UsesSearchColumnAndRowOrder) {
  Combo c;
  MemoryPropertyBag bag;
  bag.Write("SearchColumn", int32_t{1});
  bag.Write("Cols", int32_t{2});
  c.ReadProperties(bag, Font{});
  Fill(c, {"x\tzeta", "y\talpha"});
  EXPECT_EQ(c.FindRow("X", Combo::kSearchEqual), -1);
  c.Sort(1, true);
  EXPECT_EQ(c.FindRow("ZETA", Combo::kSearchEqual), 1);
}

// The host's image list, not owned; an empty picture is not added to it.
TEST(MartenComboBoxText, ImageListIsTheHosts) {
  Combo c;
  EXPECT_EQ(c.ImageList(), nullptr);
  ImageList images(8, 8);
  c32bppDIB dot;
  ASSERT_TRUE(dot.InitializeDIB(8, 8));
  EXPECT_EQ(images.Add(dot), 1);
  EXPECT_EQ(images.Add(c32bppDIB()), 0);
  c.SetImageList(&images);
  EXPECT_EQ(c.ImageList(), &images);
  EXPECT_EQ(c.ImageList()->Picture(2), nullptr);
}

TEST(MartenComboBoxPattern, Operator) {
  const struct {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {
      {"", "", true},        {"", "*", true},        {"a", "", false},     {"abc", "a*c", true},
      {"abc", "a*b", false}, {"abcbc", "*bc", true}, {"a1b", "a#b", true}, {"axb", "a#b", false},
      {"ab", "a?", true},    {"a", "a?", false},     {"F", "[A-Z]", true}, {"f", "[A-Z]", false},
      {"f", "[!A-Z]", true}, {"-", "[a-]", true},    {"b", "[a-]", false}, {"ab", "a[]b", true},
      {"*", "[*]", true},    {"x", "[*]", false},    {"é", "?", true},     {"éa", "[é]a", true},
      {"a", "[z-a]", false}, {"a[", "a[", false},    {"a]", "a]", true},   {"aXbXc", "a*b*c", true},
  };
  for (const auto& k : cases)
    EXPECT_EQ(MatchesPattern(k.text, k.pattern), k.match) << k.text << " like " << k.pattern;
}

TEST(MartenComboBoxSortKeys, LeadingNumber) {
  for (auto [text, number] : {std::pair{"12abc", 12.0},
                              {"  -3.5e2x", -350.0},
                              {".5", 0.5},
                              {"1e", 1.0},
                              {"abc", 0.0},
                              {"-", 0.0}}) {
    EXPECT_EQ(LeadingNumber(text), number) << text;
  }
}

TEST(MartenComboBoxSortKeys, DateSerial) {
  const std::pair<const char*, double> dates[] = {
      {"1899-12-30", 0.0},           {"2000-01-01", 36526.0},      {"1/1/2000", 36526.0},
      {"1.2.2000", 36557.0},         {"1 January 2000", 36526.0},  {"Jan 1, 2000", 36526.0},
      {"2000/01/01 12:00", 36526.5}, {"1/1/00 6:00 PM", 36526.75}, {"6:00", 0.25},
      {"1/1/29", 47119.0},           {"1/1/30", 10959.0}};
  for (auto [text, serial] : dates) EXPECT_EQ(DateSerial(text), serial) << text;
  for (const char* text : {"2000-02-30", "13/1/2000", "hello", "", "1/2", "25:00"})
    EXPECT_EQ(DateSerial(text), std::nullopt) << text;
}

}  // namespace
}  // namespace quillon::widgets
