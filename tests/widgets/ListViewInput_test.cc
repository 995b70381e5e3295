// The list view's layout, hit-testing, scroll bars and input rules, without a display.
#include "widgets/ListViewInput.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "widgets/ListViewLayout.h"
#include "widgets/Scrollbars.h"

namespace quillon::widgets {
namespace {

// A list with columns of the given widths and n items "0".."n-1", laid out in a client area
// of 300 x 169: with the default font a header of 19 and ten items of 15.
struct Fixture {
  explicit Fixture(std::vector<int32_t> widths, int items = 0) : input(list, bars) {
    for (size_t c = 0; c < widths.size(); ++c)
      list.AddColumn("k" + std::to_string(c), "C" + std::to_string(c), 0, widths[c]);
    for (int i = 0; i < items; ++i) list.AddItem(-1, std::to_string(i));
    input.Relayout(300, 19 + 15 * 10);
  }
  // The selection as '1' and '0' per item, and the items' texts, in list order.
  std::string Selection() const {
    std::string s;
    for (int32_t i = 0; i < list.ItemCount(); ++i) s += list.ItemSelected(i) ? '1' : '0';
    return s;
  }
  std::string Order() const {
    std::string s;
    for (int32_t i = 0; i < list.ItemCount(); ++i) s += list.ItemText(i, 0);
    return s;
  }
  int32_t RowY(int row) const {
    return input.Layout().itemTop + row * input.Layout().itemHeight + 2;
  }

  ListView list;
  Scrollbars bars{3};
  ListViewInput input;
};

TEST(ListViewLayoutTest, VisibleRowsToTheNearestAndNoHeaderBandWhenHidden) {
  Fixture f({30, 200, 50});
  f.input.Relayout(300, 19 + 15 * 10 + 7);
  const ListViewLayout& l = f.input.Layout();
  EXPECT_EQ(l.visibleRows, 10);  // 157 / 15 = 10.47
  EXPECT_EQ(std::make_tuple(l.totalColumnWidth, l.rowWidth), std::make_tuple(280, 300));
  f.input.Relayout(300, 19 + 15 * 10 + 8);
  EXPECT_EQ(l.visibleRows, 11);  // 158 / 15 = 10.53
  f.list.SetProperty("ColumnsVisible", false);
  f.input.Relayout(300, 150);
  EXPECT_EQ(std::make_tuple(l.headerHeight, l.itemTop, l.visibleRows), std::make_tuple(0, 0, 10));
}

TEST(ListViewLayoutTest, AutoSizeSharesTheRestAndCutsTheLastColumn) {
  Fixture f({40, 100, 300});
  f.list.SetColumnResizable(0, false);
  f.list.SetProperty("ColumnsAutoSize", true);
  f.input.Relayout(300, 200);
  // 260 pixels shared 1:3 between the resizable columns: 65 + 0.5 and 195 + 0.5, halves to
  // even give 66 and 196, and the last column is cut to end at the client width.
  EXPECT_EQ(std::make_tuple(f.list.ColumnAt(0).WidthAutoSized, f.list.ColumnAt(1).WidthAutoSized,
                            f.list.ColumnAt(2).WidthAutoSized, f.input.Layout().totalColumnWidth),
            std::make_tuple(40, 66, 194, 300));
  // Fixed columns wider than the client: the last one is cut.
  Fixture g({200, 200});
  g.list.SetColumnResizable(0, false);
  g.list.SetColumnResizable(1, false);
  g.list.SetProperty("ColumnsAutoSize", true);
  g.input.Relayout(300, 200);
  EXPECT_EQ(g.list.ColumnAt(1).WidthAutoSized, 100);
}

TEST(ListViewLayoutTest, PointsAndCells) {
  Fixture f({30, 200, 50}, 30);
  for (auto [x, column] : {std::pair{0, 0}, {29, 0}, {30, 1}, {229, 1}, {279, 2}, {280, -1}})
    EXPECT_EQ(ColumnFromPoint(f.list, 0, x), column) << x;
  EXPECT_EQ(ColumnFromPoint(f.list, 25, 10), 1);  // scrolled right by 25
  const ListViewLayout& l = f.input.Layout();
  // (first row, y, row); y 10 is in the header, above the rows.
  for (auto [first, y, row] :
       {std::tuple{0, 19, 0}, {0, 33, 0}, {0, 34, 1}, {5, 34, 6}, {0, 10, -1}})
    EXPECT_EQ(RowFromPoint(l, first, y), row) << first << "," << y;
  EXPECT_EQ(GetItemRect(f.list, l, 2, 0, 1, 3), (PixelRect{30, 34, 230, 49}));
  EXPECT_EQ(GetItemRect(f.list, l, 0, 10, 2, 0), (PixelRect{220, 19, 270, 34}));
  EXPECT_FALSE(GetItemRect(f.list, l, 0, 0, 3, 0));
  EXPECT_FALSE(GetItemRect(f.list, l, 0, 0, 0, 30));
  f.list.SetColumnVisible(0, false);
  EXPECT_FALSE(GetItemRect(f.list, l, 0, 0, 0, 0));
}

// The edge rule: less than 5 pixels from a resizable column's right edge resizes; more than
// 5 pixels inside both edges presses; exactly 5 does neither.
TEST(ListViewLayoutTest, HeaderEdgeZones) {
  Fixture f({100, 100});
  const struct {
    int32_t x;
    HeaderHit::Kind kind;
    int32_t column;
  } cases[] = {
      {95, HeaderHit::kNothing, -1},    // exactly 5 from the edge
      {96, HeaderHit::kResizeEdge, 0},  // 4 away
      {100, HeaderHit::kResizeEdge, 0}, {104, HeaderHit::kResizeEdge, 0},
      {105, HeaderHit::kNothing, -1},  // 5 inside column 1
      {106, HeaderHit::kPress, 1},      {94, HeaderHit::kPress, 0},
      {5, HeaderHit::kNothing, -1},     {6, HeaderHit::kPress, 0},
      {196, HeaderHit::kResizeEdge, 1},
  };
  for (const auto& c : cases) {
    HeaderHit hit = HitHeader(f.list, 0, c.x);
    EXPECT_EQ(hit.kind, c.kind) << c.x;
    EXPECT_EQ(hit.column, c.column) << c.x;
  }
  f.list.SetColumnResizable(0, false);
  EXPECT_EQ(HitHeader(f.list, 0, 98).kind, HeaderHit::kNothing);
}

TEST(ListViewLayoutTest, CheckBoxZoneFollowsPictures) {
  Fixture f({100, 100});
  f.list.SetProperty("Checkboxes", true);
  for (auto [x, hit] : {std::pair{2, false}, {3, true}, {14, true}, {15, false}, {103, false}})
    EXPECT_EQ(CheckBoxHit(f.list, 0, x), hit) << x;
  c32bppDIB picture;
  ASSERT_TRUE(picture.InitializeDIB(16, 16));
  f.list.AddPicture(picture);  // PictureWidth 16: the zone is [24, 36)
  for (auto [x, hit] : {std::pair{3, false}, {23, false}, {24, true}, {35, true}, {36, false}})
    EXPECT_EQ(CheckBoxHit(f.list, 0, x), hit) << x;
  EXPECT_EQ(TextStart(f.list), 4 + 19 + 18);
  EXPECT_EQ(PictureTop(100, 19, 16), 100 + 1 + 1);  // int(9.5 - 8) + 1
}

TEST(ScrollbarsTest, ActionsStopAtTheEndsAndReportOnlyChanges) {
  Scrollbars bars;
  std::vector<std::string> raised;
  bars.events().Change = [&](ScrollBarKind) { raised.push_back("Change"); };
  bars.events().Scroll = [&](ScrollBarKind) { raised.push_back("Scroll"); };
  const auto v = ScrollBarKind::kVertical;
  bars.SetRange(v, 0, 10);
  bars.Bar(v).SmallChange = 3;
  bars.Bar(v).LargeChange = 7;
  const struct {
    ScrollAction action;
    int32_t thumb, expected;
  } cases[] = {
      {ScrollAction::kLineUp, 0, 0},
      {ScrollAction::kLineDown, 0, 3},
      {ScrollAction::kPageDown, 0, 10},
      {ScrollAction::kPageDown, 0, 10},
      {ScrollAction::kPageUp, 0, 3},
      {ScrollAction::kThumbTrack, 8, 8},
      {ScrollAction::kTop, 0, 0},
      {ScrollAction::kBottom, 0, 10},
      {ScrollAction::kThumbPosition, 99, 10},
  };
  for (const auto& c : cases) {
    bars.Action(v, c.action, c.thumb);
    EXPECT_EQ(bars.Bar(v).Value, c.expected);
  }
  EXPECT_EQ(raised,
            (std::vector<std::string>{"Change", "Change", "Change", "Scroll", "Change", "Change"}));
}

TEST(ScrollbarsTest, WheelArithmetic) {
  const struct {
    int32_t lines, smallChange, distance, expected;
  } cases[] = {
      {3, 1, -120, 3},   // one notch toward the user scrolls down 3 rows
      {3, 1, 120, -3},   // away from the user scrolls up
      {3, 2, -240, 12},  // notches x lines x SmallChange
      {1, 1, -60, 0},    // half a notch: nothing yet
  };
  for (const auto& c : cases) {
    Scrollbars bars(c.lines);
    const auto v = ScrollBarKind::kVertical;
    bars.SetRange(v, 0, 100);
    bars.SetValue(v, 50);
    bars.Bar(v).SmallChange = c.smallChange;
    EXPECT_EQ(bars.Wheel(v, c.distance), c.expected) << c.distance;
    EXPECT_EQ(bars.Bar(v).Value, 50 + c.expected);
  }
  // Two half notches make one; the owner may change the amount; the value stays in range.
  Scrollbars bars(3);
  const auto v = ScrollBarKind::kVertical;
  bars.SetRange(v, 0, 4);
  EXPECT_EQ(bars.Wheel(v, -60), 0);
  EXPECT_EQ(bars.Wheel(v, -60), 3);
  bars.events().MouseWheel = [](ScrollBarKind, int32_t& amount) { amount *= 10; };
  bars.Wheel(v, -120);
  EXPECT_EQ(bars.Bar(v).Value, 4);
  int clicks = 0;
  bars.events().ScrollClick = [&](ScrollBarKind, int16_t button) { clicks += button; };
  bars.Click(v, 2);
  EXPECT_EQ(clicks, 2);
}

TEST(ListViewInputTest, ScrollBarRanges) {
  Fixture few({100, 100}, 5);
  const ScrollBar& fewV = few.bars.Bar(ScrollBarKind::kVertical);
  EXPECT_EQ(
      std::make_tuple(fewV.Enabled, fewV.Max, few.bars.Bar(ScrollBarKind::kHorizontal).Visible),
      std::make_tuple(false, 0, false));
  Fixture many({300, 200}, 25);  // 10 visible rows; columns 500 wide in 300
  const ScrollBar& v = many.bars.Bar(ScrollBarKind::kVertical);
  EXPECT_EQ(std::make_tuple(v.Enabled, v.Max), std::make_tuple(true, 15));
  const ScrollBar& h = many.bars.Bar(ScrollBarKind::kHorizontal);
  EXPECT_EQ(std::make_tuple(h.Visible, h.Max, h.LargeChange, h.SmallChange),
            std::make_tuple(true, 199, 250, 3));
  many.input.MakeSureVisible(20, 1);
  EXPECT_EQ(many.input.FirstRow(), 15);  // as far as the range allows
  EXPECT_EQ(many.input.HorizontalOffset(), 199);
  many.input.MakeSureVisible(4, 0);
  EXPECT_EQ(many.input.FirstRow(), 4);
  EXPECT_EQ(many.input.HorizontalOffset(), 0);
}

TEST(ListViewInputTest, ClickSelectionRules) {
  const struct {
    const char* name;
    std::vector<std::pair<int, int16_t>> presses;  // (row, shift)
    const char* selection;
    int32_t current;
  } cases[] = {
      {"plain", {{2, 0}}, "00100", 2},
      {"shift range", {{1, 0}, {3, kShiftMask}}, "01110", 3},
      {"ctrl adds", {{1, 0}, {3, kCtrlMask}}, "01010", 3},
      {"ctrl removes", {{1, 0}, {1, kCtrlMask}}, "00000", 1},
      // After a Ctrl-press that unselected, Shift gives the range that state.
      {"shift after ctrl off",
       {{0, 0}, {1, kShiftMask}, {1, kCtrlMask}, {4, kShiftMask}},
       "10000",
       4},
  };
  for (const auto& c : cases) {
    Fixture f({100}, 5);
    for (auto [row, shift] : c.presses) {
      f.input.MouseDown(kLeftButton, shift, 10, f.RowY(row));
      f.input.MouseUp(kLeftButton, shift, 10, f.RowY(row));
    }
    EXPECT_EQ(f.Selection(), c.selection) << c.name;
    EXPECT_EQ(f.list.SelectedItem(), c.current) << c.name;
  }
}

TEST(ListViewInputTest, PressesOutsideTheItemsDeselect) {
  Fixture f({100}, 3);
  f.list.SelectAll();
  f.input.MouseDown(kRightButton, 0, 10, f.RowY(7));  // right button keeps the selection
  EXPECT_EQ(f.Selection(), "111");
  f.input.MouseDown(kLeftButton, 0, 10, f.RowY(7));
  EXPECT_EQ(f.Selection(), "000");
  f.list.SelectAll();
  f.input.MouseDown(kLeftButton, 0, 150, f.RowY(1));  // right of the last column
  EXPECT_EQ(f.Selection(), "000");
}

TEST(ListViewInputTest, CheckBoxPressTogglesWithoutSelecting) {
  Fixture f({100}, 3);
  f.list.SetProperty("Checkboxes", true);
  f.input.Relayout(300, 200);
  std::vector<std::string> raised;
  f.list.events().ItemCheck = [&](int32_t i) {
    raised.push_back("ItemCheck " + std::to_string(i));
  };
  f.list.events().MouseDown = [&](int32_t i, int16_t, int16_t, int32_t, int32_t) {
    raised.push_back("MouseDown " + std::to_string(i));
  };
  f.input.MouseDown(kLeftButton, 0, 5, f.RowY(1));
  EXPECT_EQ(std::make_tuple(f.list.ItemChecked(1), f.Selection(), f.list.SelectedItem()),
            std::make_tuple(true, "000", -1));
  f.input.MouseDown(kLeftButton, 0, 50, f.RowY(1));
  EXPECT_EQ(raised, (std::vector<std::string>{"ItemCheck 1", "MouseDown 1"}));
}

TEST(ListViewInputTest, DragSelectionAndPlainClickOnSelected) {
  Fixture f({100}, 6);
  f.input.MouseDown(kLeftButton, 0, 10, f.RowY(1));
  EXPECT_EQ(f.input.state(), ListViewInput::kDragSelecting);
  f.input.MouseMove(0, 10, f.RowY(3));
  EXPECT_EQ(f.Selection(), "011100");
  f.input.MouseMove(0, 10, f.RowY(40));  // clamped to the items
  EXPECT_EQ(f.Selection(), "011111");
  f.input.MouseUp(kLeftButton, 0, 10, f.RowY(40));
  // A plain click on a selected item that moves nothing leaves only it selected.
  f.list.SetProperty("Reorder", false);
  f.input.MouseDown(kLeftButton, 0, 10, f.RowY(3));
  EXPECT_EQ(f.input.state(), ListViewInput::kReorderDragging);
  EXPECT_FALSE(f.input.DragTimerWanted());  // the timer runs only while Reorder is on
  f.input.MouseUp(kLeftButton, 0, 10, f.RowY(3));
  EXPECT_EQ(f.Selection(), "000100");
}

TEST(ListViewInputTest, ReorderDragMovesSelectedItems) {
  const struct {
    const char* name;
    std::vector<int> selected;
    int pressRow, moveRow;
    const char* order;
    int32_t current;
  } cases[] = {
      {"one down", {1}, 1, 3, "023145", 3},
      {"one up", {4}, 4, 0, "401235", 0},
      {"gap kept", {1, 3}, 3, 4, "021435", 4},
      {"cut at the end", {1, 3}, 1, 5, "024153", 3},
      {"cut at the start", {1, 3}, 3, 0, "103245", 2},
  };
  for (const auto& c : cases) {
    Fixture f({100}, 6);
    for (int row : c.selected) f.list.SetItemSelected(row, true);
    int reordered = 0;
    f.list.events().ItemsReordered = [&] { ++reordered; };
    f.input.MouseDown(kLeftButton, 0, 10, f.RowY(c.pressRow));
    ASSERT_EQ(f.input.state(), ListViewInput::kReorderDragging) << c.name;
    f.input.MouseMove(0, 10, f.RowY(c.moveRow));
    f.input.MouseUp(kLeftButton, 0, 10, f.RowY(c.moveRow));
    EXPECT_EQ(f.Order(), c.order) << c.name;
    EXPECT_EQ(f.list.SelectedItem(), c.current) << c.name;
    EXPECT_EQ(f.list.ItemText(f.list.SelectedItem(), 0), std::to_string(c.pressRow)) << c.name;
    EXPECT_EQ(reordered, 1) << c.name;
    EXPECT_EQ(f.list.ItemSelected(f.list.SelectedItem()), true) << c.name;
  }
}

TEST(ListViewInputTest, ColumnResizeKeepsFivePixels) {
  Fixture f({100, 100});
  EXPECT_TRUE(f.input.SizingCursorAt(98, 5));
  EXPECT_FALSE(f.input.SizingCursorAt(50, 5));
  f.input.MouseDown(kLeftButton, 0, 98, 5);
  EXPECT_EQ(f.input.state(), ListViewInput::kResizing);
  f.input.MouseMove(0, 140, 5);
  EXPECT_EQ(f.list.ColumnAt(0).Width, 140);
  EXPECT_EQ(f.input.Layout().totalColumnWidth, 240);
  f.input.MouseMove(0, -30, 5);  // left of the column's start
  EXPECT_EQ(f.list.ColumnAt(0).Width, 5);
  f.input.MouseUp(kLeftButton, 0, -30, 5);
  EXPECT_EQ(f.input.state(), ListViewInput::kIdle);
  f.list.SetProperty("ColumnsAutoSize", true);
  EXPECT_FALSE(f.input.SizingCursorAt(98, 5));
}

TEST(ListViewInputTest, HeaderClicksSortAscendingThenDescending) {
  for (bool sortable : {true, false}) {
    Fixture f({100, 100});
    for (const char* t : {"b", "A", "c"}) f.list.AddItem(-1, t);
    f.list.SetProperty("Sortable", sortable);
    std::vector<int32_t> clicks;
    f.list.events().ColumnClick = [&](int32_t c) { clicks.push_back(c); };
    std::vector<std::string> orders;
    for (int i = 0; i < 2; ++i) {
      f.input.MouseDown(kLeftButton, 0, 50, 5);
      EXPECT_TRUE(f.list.ColumnAt(0).Pushed);
      f.input.MouseUp(kLeftButton, 0, 50, 5);
      EXPECT_FALSE(f.list.ColumnAt(0).Pushed);
      orders.push_back(f.Order());
    }
    EXPECT_EQ(clicks, (std::vector<int32_t>{0, 0}));
    EXPECT_EQ(orders, (sortable ? std::vector<std::string>{"Abc", "cbA"}
                                : std::vector<std::string>{"bAc", "bAc"}));
  }
}

TEST(ListViewInputTest, KeysMoveSelectAndScroll) {
  const struct {
    const char* name;
    int32_t start;
    int16_t key, shift;
    int32_t current, firstRow;   // ten rows are visible
    const char* selectedAround;  // selection of items 0..2 and the current one
  } cases[] = {
      {"down", 0, kKeyDown, 0, 1, 0, "0101"},
      {"up at the top", 0, kKeyUp, 0, 0, 0, "1001"},
      {"page down", 0, kKeyPageDown, 0, 10, 1, "0001"},
      {"page down at the end", 25, kKeyPageDown, 0, 29, 20, "0001"},
      {"page up", 25, kKeyPageUp, 0, 15, 6, "0001"},  // scrolled just into view
      {"shift keeps", 0, kKeyDown, kShiftMask, 1, 0, "1101"},
  };
  for (const auto& c : cases) {
    Fixture f({100}, 30);
    f.list.SetSelectedItem(c.start);
    f.list.SetItemSelected(c.start, true);
    int clicks = 0;
    f.list.events().Click = [&](int32_t) { ++clicks; };
    EXPECT_TRUE(f.input.KeyDown(c.key, c.shift)) << c.name;
    EXPECT_EQ(f.list.SelectedItem(), c.current) << c.name;
    EXPECT_EQ(f.input.FirstRow(), c.firstRow) << c.name;
    EXPECT_EQ(f.Selection().substr(0, 3) + f.Selection()[c.current], c.selectedAround) << c.name;
    EXPECT_EQ(clicks, 1) << c.name;
  }
}

TEST(ListViewInputTest, SpaceAndKeysTheFormTakes) {
  Fixture f({100}, 3);
  f.list.SetProperty("Checkboxes", true);
  f.list.SetSelectedItem(1);
  EXPECT_TRUE(f.input.KeyDown(kKeySpace, kCtrlMask));
  EXPECT_TRUE(f.list.ItemSelected(1));
  EXPECT_TRUE(f.list.ItemChecked(1));
  f.list.events().KeyDown = [](int16_t& key, int16_t) { key = 0; };
  EXPECT_FALSE(f.input.KeyDown(kKeyDown, 0));
  EXPECT_EQ(f.list.SelectedItem(), 1);
}

TEST(ListViewInputTest, DragTimerScrollsNearTheEdges) {
  Fixture f({100}, 40);
  f.input.MouseDown(kLeftButton, 0, 10, f.RowY(2));
  const int32_t bottom = f.input.Layout().clientHeight;
  EXPECT_FALSE(f.input.DragTimerTick(10, bottom - 3));
  EXPECT_TRUE(f.input.DragTimerTick(10, bottom - 2));
  EXPECT_EQ(f.input.FirstRow(), 1);
  EXPECT_TRUE(f.input.DragTimerTick(10, bottom + 50));
  EXPECT_EQ(f.input.FirstRow(), 2);
  // The move step ran again: the selection follows the pointer's row.
  EXPECT_TRUE(f.list.ItemSelected(f.input.FirstRow() + 9));
  EXPECT_TRUE(f.input.DragTimerTick(10, 19 - 4));
  EXPECT_EQ(f.input.FirstRow(), 1);
  EXPECT_FALSE(f.input.DragTimerTick(10, 19 - 3));
}

}  // namespace
}  // namespace quillon::widgets
