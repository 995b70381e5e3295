// The grid combo box's drop-down and key rules, without a display.
#include "widgets/MartenComboBoxInput.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace quillon::widgets {
namespace {

using Combo = MartenComboBox;

void Fill(Combo& c, int n) {
  for (int i = 0; i < n; ++i) c.AddItem("row" + std::to_string(i));
}

TEST(MartenComboBoxDropDown, RowMetrics) {
  const struct {
    float rowHeightMin;
    int16_t style;
    std::tuple<int32_t, int32_t, int32_t> expected;  // row height, box side, text start
  } cases[] = {
      {0, Combo::kPlain, {15, 15, 3}},             // text height of "A"
      {300, Combo::kCheckBoxes, {20, 16, 18}},     // 300 twips = 20 px: box 16
      {240, Combo::kOptionButtons, {16, 12, 14}},  // 16 px: box 16 - 4
      {5, Combo::kPlain, {15, 11, 3}},             // under a pixel: the text height
  };
  for (const auto& c : cases) {
    Combo combo;
    combo.SetRowHeightMin(c.rowHeightMin);
    combo.SetStyle(c.style);
    const ComboRowMetrics m = ComputeRowMetrics(combo, 15);
    EXPECT_EQ(std::tie(m.rowHeight, m.checkBoxSide, m.textStart), c.expected) << c.rowHeightMin;
  }
}

TEST(MartenComboBoxDropDown, SizeRules) {
  Combo c;
  Fill(c, 3);
  EXPECT_EQ(DropDownHeight(c, 15, 0, 120), 15 * 3 + 2);  // three rows of eight visible
  Fill(c, 10);
  EXPECT_EQ(DropDownHeight(c, 15, 0, 1000), 15 * 8 + 2);
  EXPECT_EQ(DropDownHeight(c, 15, 0, 30), 15 * 8 + 2 + 16);  // columns wider: a horizontal bar
  c.SetColumnHeaders(true);
  EXPECT_EQ(DropDownHeight(c, 15, 19, 1000), 15 * 8 + 2 + 19);
  EXPECT_EQ(DropDownWidth(c, 120), 120);
  c.SetDropDownWidth(3000);  // twips
  EXPECT_EQ(DropDownWidth(c, 120), 200);
  c.SetDropDownAutoWidth(true);
  c.SetColWidth(0, 1500);
  EXPECT_EQ(DropDownWidth(c, 120), 100 + 16);
}

TEST(MartenComboBoxDropDown, Placement) {
  const ComboRect screen{0, 0, 800, 600};
  const struct {
    ComboRect control;
    int32_t width, height;
    ComboRect expected;
  } cases[] = {
      {{100, 100, 120, 24}, 120, 100, {100, 124, 120, 100}},  // below, left edges aligned
      {{100, 560, 120, 24}, 120, 100, {100, 460, 120, 100}},  // at the bottom: above
      {{100, 100, 120, 24}, 900, 100, {0, 124, 800, 100}},    // wider than the screen: cut
      {{750, 100, 40, 24}, 120, 50, {680, 124, 120, 50}},     // kept on the screen
  };
  for (const auto& c : cases)
    EXPECT_EQ(PlaceDropDown(c.control, c.width, c.height, screen), c.expected);
}

TEST(MartenComboBoxDropDown, OpenCloseAndReleaseRule) {
  Combo c;
  MartenComboBoxInput input(c);
  std::vector<std::string> raised;
  c.events().DropDownOpen = [&] { raised.push_back("open"); };
  c.events().DropDownClose = [&] { raised.push_back("close"); };
  c.events().Click = [&] { raised.push_back("click"); };
  EXPECT_FALSE(input.Open(0));  // empty: does not open
  EXPECT_TRUE(raised.empty());
  Fill(c, 20);
  EXPECT_TRUE(input.Open(1000));
  EXPECT_TRUE(input.ReleaseDue(true, false, false, 1000));  // a press outside: no scroll yet
  EXPECT_TRUE(input.ScrollTo(5, 2000));
  EXPECT_FALSE(input.ReleaseDue(true, false, false, 2400));  // within 500 ms of a scroll
  EXPECT_TRUE(input.ReleaseDue(true, false, false, 2501));
  EXPECT_FALSE(input.ReleaseDue(false, false, false, 3000));
  EXPECT_FALSE(input.ReleaseDue(true, true, false, 3000));
  EXPECT_FALSE(input.ReleaseDue(true, false, true, 3000));
  EXPECT_EQ(input.FirstVisibleRow(), 5);
  EXPECT_TRUE(input.ScrollTo(99, 3000));
  EXPECT_EQ(input.FirstVisibleRow(), 12);  // the last page
  input.HoverRow(14);
  input.Close(true);
  EXPECT_EQ(c.ListIndex(), 14);
  EXPECT_EQ(raised, (std::vector<std::string>{"open", "close", "click"}));
}

TEST(MartenComboBoxDropDown, KeysWithTheListClosedAndOpen) {
  struct Step {
    int16_t key, shift;
    bool open;
    int32_t listIndex, highlighted;
    int clicks;  // so far
  };
  Combo c;
  Fill(c, 20);
  MartenComboBoxInput input(c);
  c.SetListIndex(0);
  int clicks = 0;
  c.events().Click = [&] { ++clicks; };
  const Step steps[] = {
      {kComboKeyPageDown, 0, false, 7, -1, 1},  // DropDownItemsVisible - 1
      {kComboKeyPageUp, 0, false, 0, -1, 2},
      {kComboKeyUp, 0, false, 0, -1, 2},  // at the first row: nothing, no Click
      {kComboKeyF4, 0, true, 0, 0, 2},
      {kComboKeyPageDown, 0, true, 0, 7, 2},
      {kComboKeyEnd, 0, true, 19, 19, 3},
      {kComboKeyHome, 0, true, 0, 0, 4},
      {kComboKeyDown, 0, true, 0, 1, 4},
      {kComboKeyDown, kComboAlt, false, 1, 1, 5},  // takes the highlighted row
      {kComboKeyF4, 0, true, 1, 1, 5},
      {kComboKeyDown, 0, true, 1, 2, 5},
      {kComboKeyEscape, 0, false, 1, -1, 5},  // closes without taking it
      {kComboKeyF4, 0, true, 1, 1, 5},
      {kComboKeyEnd, 0, true, 19, 19, 6},
      {kComboKeyF4, 0, false, 19, -1, 6},
      {kComboKeyDown, 0, false, 19, -1, 6},  // at the last row: nothing
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(input.Key(s.key, s.shift, 0)) << s.key;
    EXPECT_EQ(input.IsOpen(), s.open) << s.key;
    EXPECT_EQ(c.ListIndex(), s.listIndex) << s.key;
    EXPECT_EQ(clicks, s.clicks) << s.key;
    if (s.open) {
      EXPECT_EQ(input.HighlightedRow(), s.highlighted) << s.key;
    }
  }
  EXPECT_FALSE(input.Key(65, 0, 0));  // not a list key
}

TEST(MartenComboBoxDropDown, ChecksByKeyAndClick) {
  Combo c;
  c.SetStyle(Combo::kCheckBoxes);
  Fill(c, 3);
  MartenComboBoxInput input(c);
  int changes = 0;
  c.events().SelectionChanged = [&] { ++changes; };
  EXPECT_TRUE(input.Key(kComboKeyA, kComboCtrl, 0));
  EXPECT_EQ(c.SelCount(), 3);
  EXPECT_TRUE(input.Key(kComboKeyA, kComboCtrl, 0));
  EXPECT_EQ(c.SelCount(), 0);
  input.Open(0);
  input.HoverRow(1);
  input.Key(kComboKeySpace, 0, 0);
  EXPECT_TRUE(c.ItemChecked(1));
  c.events().RequestItemChecked = [](int32_t row, bool&, bool& cancel) { cancel = row == 2; };
  EXPECT_FALSE(input.PressRow(2, 1, 0));  // cancelled by the host
  EXPECT_FALSE(c.ItemChecked(2));
  input.Close(false);
  EXPECT_EQ(c.Text(), "row1");  // closing recomputes the shown text
  EXPECT_EQ(changes, 3);
  // Style 2: a click on the checked row keeps it checked.
  Combo d;
  d.SetStyle(Combo::kOptionButtons);
  Fill(d, 2);
  MartenComboBoxInput options(d);
  options.PressRow(0, 1, 0);
  options.PressRow(0, 1, 0);
  EXPECT_TRUE(d.ItemChecked(0));
}

TEST(MartenComboBoxDropDown, AutoCompleteAndEnter) {
  Combo c;
  for (const char* t : {"AcronymFinder", "Acronyma", "All-Acronyms", "TheFreeDictionary"})
    c.AddItem(t);
  c.SetAutoComplete(true);
  MartenComboBoxInput input(c);
  for (auto [typed, appended] :
       {std::pair{"AL", "l-Acronyms"}, {"B", "heFreeDictionary"}, {"Z", ""}, {"", ""}})
    EXPECT_EQ(input.AutoComplete(typed), appended) << typed;
  c.events().AutoCompleteSearch = [](int32_t& row) { row = row == 0 ? 3 : row; };
  EXPECT_EQ(input.EnterSearch("acronymfinder"), 3);  // the host moved it
  EXPECT_EQ(c.ListIndex(), 3);
  EXPECT_EQ(input.EnterSearch("nothing"), -1);
  EXPECT_EQ(c.ListIndex(), 3);
}

}  // namespace
}  // namespace quillon::widgets
