#include "widgets/ListView.h"
#include "widgets/ListViewRows.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "support/WidgetErrors.h"

namespace quillon::resources {
extern const std::span<const unsigned char> TestPictureIcon;
}  // namespace quillon::resources

namespace quillon::widgets {
namespace {

using testing::WidgetErrorNumber;

ListView ListWithColumns(int columns, std::initializer_list<const char*> items = {}) {
  ListView list;
  for (int c = 0; c < columns; ++c) list.AddColumn("c" + std::to_string(c), "C", 0, 80);
  for (const char* t : items) list.AddItem(-1, t);
  return list;
}

std::vector<std::string> FirstColumn(const ListView& list) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < list.ItemCount(); ++i) texts.push_back(list.ItemText(i, 0));
  return texts;
}

TEST(ListViewTest, CurrentItemFollowsInsertsAndRemovals) {
  ListView list = ListWithColumns(2, {"a", "b", "c"});
  list.SetSelectedItem(1);
  EXPECT_EQ(list.AddItem(0, "first"), 0);
  EXPECT_EQ(list.SelectedItem(), 2);
  EXPECT_EQ(list.ItemText(list.SelectedItem(), 0), "b");
  list.SetSelectedItem(3);  // the last item
  list.RemoveItem(3);
  EXPECT_EQ(list.SelectedItem(), 2);
  list.RemoveItem(0);
  EXPECT_EQ(list.SelectedItem(), 1);
  EXPECT_EQ(list.ItemText(1, 1), "");  // new items get an empty cell per column
  list.Clear();
  EXPECT_EQ(list.SelectedItem(), -1);
}

TEST(ListViewTest, RaisesNumberedErrorsAndKeepsState) {
  ListView empty;
  testing::ExpectWidgetError([&] { empty.AddItem(-1, "x"); }, 31, "ListView",
                             "can not add items when there are no columns");
  ListView list = ListWithColumns(1);
  EXPECT_EQ(WidgetErrorNumber([&] { list.AddColumn("C0", "dup", 0, 10); }), 300);
  EXPECT_EQ(list.ColumnCount(), 1);
  list.AddItem(-1, "x");
  EXPECT_EQ(WidgetErrorNumber([&] { list.AddColumn("new", "n", 0, 10); }), 33);
  EXPECT_EQ(WidgetErrorNumber([&] { list.RemoveColumn(0); }), 33);
  EXPECT_EQ(WidgetErrorNumber([&] { list.RemoveItem(1); }), 9);
  EXPECT_EQ(WidgetErrorNumber([&] { list.RemoveItem(-1); }), 9);
  EXPECT_EQ(WidgetErrorNumber([&] { list.ItemText(0, 1); }), 9);
  EXPECT_EQ(WidgetErrorNumber([&] { list.AddItem(5, "beyond the end"); }), 9);
  EXPECT_EQ(list.ItemCount(), 1);
}

TEST(ColumnCollectionTest, LooksUpByPositionOrKey) {
  ColumnCollection columns;
  columns.Add("abb").Caption = "Abbreviation";
  columns.Add("12").Caption = "digits";
  columns.Add("Text").Caption = "Meaning";
  EXPECT_EQ(columns.Item(std::string("ABB")).Caption, "Abbreviation");
  EXPECT_EQ(columns.Item(std::string("2")).Caption, "Meaning");  // digits are a position
  EXPECT_EQ(WidgetErrorNumber([&] { columns.Item(std::string("12")); }), 9);
  EXPECT_EQ(WidgetErrorNumber([&] { columns.Item(std::string("none")); }), 9);
  EXPECT_EQ(WidgetErrorNumber([&] { columns.Remove(3); }), 9);
  columns.Remove(std::string("abb"));
  EXPECT_EQ(columns.Count(), 2);
  EXPECT_EQ(columns.Item(0).Caption, "digits");
}

TEST(ListViewTest, ColumnIndexTakesAnExactMatchOrGivesZero) {
  ListView list;
  list.AddColumn("direction", "L/R", 0, 30);
  list.AddColumn("abb", "Abbreviation", 0, 200);
  EXPECT_EQ(list.ColumnIndex("abb"), 1);
  EXPECT_EQ(list.ColumnIndex("ABB"), 0);  // exact comparison: no match gives 0
}

TEST(ListViewTest, SortsIgnoringCaseWithOrderOneDescending) {
  struct Case {
    int32_t order;
    std::vector<std::string> expected;
  } cases[] = {{0, {"A", "b", "c"}}, {2, {"A", "b", "c"}}, {1, {"c", "b", "A"}}};
  for (const Case& c : cases) {
    ListView list = ListWithColumns(2, {"b", "A", "c"});
    list.Sort("c0", c.order);
    EXPECT_EQ(FirstColumn(list), c.expected) << "order " << c.order;
  }
  ListView empty = ListWithColumns(1);
  empty.Sort("c0", 0);  // nothing to sort
  EXPECT_EQ(empty.ItemCount(), 0);
}

TEST(ListViewTest, PropertiesStoreOnlyWhatDiffersFromStoredDefaults) {
  ListView list;
  EXPECT_EQ(list.Properties().PictureWidth, 16);  // a newly placed control
  MemoryPropertyBag bag;
  list.WriteProperties(bag);
  // The new-control picture size differs from the stored default of 13.
  EXPECT_EQ(bag.Size(), 2u);
  EXPECT_TRUE(bag.Contains("PictureWidth"));

  ListView loaded;
  loaded.ReadProperties(MemoryPropertyBag());
  EXPECT_EQ(loaded.Properties().PictureHeight, 13);
  EXPECT_EQ(loaded.Properties().ItemPaddingRight, 5);
  EXPECT_EQ(loaded.Properties().BackColor, kSysWindow);

  std::vector<std::string> changed;
  list.SetPropertyChangedHandler([&](std::string_view name) { changed.emplace_back(name); });
  EXPECT_TRUE(list.SetProperty("BackColor", int32_t{0x00FF00}));
  EXPECT_TRUE(list.SetProperty("Checkboxes", true));
  EXPECT_FALSE(list.SetProperty("Checkboxes", std::string("yes")));
  EXPECT_FALSE(list.SetProperty("NoSuchProperty", true));
  EXPECT_EQ(changed, (std::vector<std::string>{"BackColor", "Checkboxes"}));
  EXPECT_EQ(list.BackColor().RGBColor(), 0x00FF00);

  MemoryPropertyBag roundTrip;
  list.WriteProperties(roundTrip);
  ListView restored;
  restored.ReadProperties(roundTrip);
  EXPECT_EQ(restored.Properties().BackColor, 0x00FF00u);
  EXPECT_TRUE(restored.Properties().Checkboxes);
  EXPECT_EQ(restored.Properties().PictureWidth, 16);
}

TEST(ColorTest, TranslatesPlainAndSystemColours) {
  EXPECT_EQ(TranslateColor(0x123456), 0x123456);
  EXPECT_EQ(TranslateColor(kSysWindow), 0xFFFFFF);
  EXPECT_EQ(TranslateColor(kSysWindowText), 0);
  EXPECT_EQ(TranslateColor(0x800000FF), -1);  // no such system colour
  EXPECT_EQ(TranslateColor(0x01000005), -1);  // palette index without a palette
  Color color;
  color.SetColor(0x80000063, true, true);
  EXPECT_EQ(color.RGBColor(), -1);
}

struct Dpi : DeviceMetrics {
  explicit Dpi(int dpi) : dpi(dpi) {}
  int PixelsPerInchY() const override { return dpi; }
  int dpi;
};

TEST(ListViewTest, ItemHeightFollowsFontAndSettings) {
  struct Case {
    int dpi;
    double fontSize;
    bool autoSize;
    bool checkboxes;
    int32_t expected;
  } cases[] = {
      {96, 8.25, true, false, 15},   // 8 pt at 96 dpi: 11 px text + 4
      {96, 8.25, true, true, 19},    // raised for the check boxes
      {96, 8.25, false, false, 19},  // 11 + paddings 4 + 4
      {120, 12, true, false, 24},    // 20 px + 4
      {96, 8.5, true, false, 15},    // 8.5 pt is taken as 8 (halves to even)
  };
  for (const Case& c : cases) {
    Dpi dpi(c.dpi);
    ListView list(dpi);
    Font font;
    font.Size = c.fontSize;
    list.SetProperty("Font", font);
    list.SetProperty("ItemsAutoSize", c.autoSize);
    list.SetProperty("Checkboxes", c.checkboxes);
    EXPECT_EQ(list.ItemHeight(), c.expected) << c.dpi << " dpi, " << c.fontSize << " pt";
  }
}

TEST(ListViewTest, PictureListFeedsTheItemHeight) {
  ListView list;
  EXPECT_EQ(list.ItemHeight(), 15);
  c32bppDIB empty;
  EXPECT_EQ(list.AddPicture(empty), 0);
  c32bppDIB picture;
  ASSERT_TRUE(picture.InitializeDIB(16, 16));
  EXPECT_EQ(list.AddPicture(picture), 1);
  EXPECT_EQ(list.ItemHeight(), 19);  // at least the picture height 16 + 3

  std::vector<uint8_t> png;
  ASSERT_TRUE(picture.SaveToPNG(png));
  ResourceRegistry resources;
  resources.Add("CUSTOM", 101, std::span<const unsigned char>(png.data(), png.size()));
  EXPECT_EQ(list.AddPictureFromRes(101, std::string("CUSTOM"), &resources), 2);
  EXPECT_EQ(list.AddPictureFromRes(999, std::string("CUSTOM"), &resources), 0);
  EXPECT_EQ(list.PictureCount(), 2);
  EXPECT_EQ(list.Picture(2).Width(), 16);
  list.SetProperty("PicturesVisible", false);
  EXPECT_EQ(list.ItemHeight(), 15);
}

// Pictures load at the list's picture size: of an icon with 8 x 8 and 16 x 16 entries, the
// one nearest PictureWidth x PictureHeight.
TEST(ListViewTest, PicturesLoadAtThePictureSize) {
  ResourceRegistry registry;
  registry.Add("ICONS", 7, resources::TestPictureIcon);
  for (auto [size, expected] : {std::pair{8, 8}, {13, 16}, {9, 8}}) {
    ListView list;
    ASSERT_TRUE(list.SetProperty("PictureWidth", size));
    ASSERT_TRUE(list.SetProperty("PictureHeight", size));
    ASSERT_EQ(list.AddPictureFromRes(7, std::string("ICONS"), &registry), 1);
    EXPECT_EQ(list.Picture(1).Width(), expected) << "picture size " << size;
  }
}

// Counts what the model asks of its drawing layer.
struct CountingObserver : ListViewObserver {
  int relayouts = 0, itemChanges = 0, repaints = 0;
  void Relayout() override { ++relayouts; }
  void ItemsChanged() override { ++itemChanges; }
  void Repaint() override { ++repaints; }
};

TEST(ListViewTest, RangeSelectionRepaintsOnce) {
  const struct {
    int first, last;
    bool state, othersOff;
    const char* expected;  // selection of the five items afterwards
  } cases[] = {
      {1, 3, true, true, "01110"},   {3, 1, true, true, "01110"},    // either order
      {1, 3, true, false, "01111"},  {0, 1, false, false, "00111"},  // others untouched
      {-5, 99, true, true, "11111"},                                 // clamped to the items
  };
  for (const auto& c : cases) {
    ListView list = ListWithColumns(1, {"0", "1", "2", "3", "4"});
    list.SelectAll();
    if (!c.othersOff && c.state) list.SetItemSelected(0, false);
    CountingObserver observer;
    list.SetObserver(&observer);
    list.SelectRange(c.first, c.last, c.state, c.othersOff);
    std::string got;
    for (int i = 0; i < 5; ++i) got += list.ItemSelected(i) ? '1' : '0';
    EXPECT_EQ(got, c.expected) << c.first << ".." << c.last;
    EXPECT_EQ(observer.repaints, 1);
  }
}

TEST(ListViewTest, EventsFollowTheirRules) {
  ListView list = ListWithColumns(1, {"0", "1", "2"});
  std::vector<std::string> raised;
  auto& e = list.events();
  e.Click = [&](int32_t item) { raised.push_back("Click " + std::to_string(item)); };
  e.DblClick = [&](int32_t item) { raised.push_back("DblClick " + std::to_string(item)); };
  e.ColumnClick = [&](int32_t c) { raised.push_back("ColumnClick " + std::to_string(c)); };
  e.ItemCheck = [&](int32_t item) { raised.push_back("ItemCheck " + std::to_string(item)); };
  e.ItemsReordered = [&] { raised.push_back("ItemsReordered"); };
  e.KeyDown = [&](int16_t& key, int16_t) { key = key == 65 ? 0 : key; };  // the form takes A

  list.RaiseClick();     // no current item: nothing
  list.RaiseDblClick();  // likewise
  list.SetSelectedItem(2);
  list.RaiseClick();
  list.RaiseDblClick();  // current but not selected: nothing
  list.SetItemSelected(2, true);
  list.RaiseDblClick();
  list.RaiseColumnClick(0);
  list.RaiseItemCheck(1);
  list.RaiseItemsReordered();
  EXPECT_EQ(raised, (std::vector<std::string>{"Click 2", "DblClick 2", "ColumnClick 0",
                                              "ItemCheck 1", "ItemsReordered"}));
  EXPECT_EQ(list.RaiseKeyDown(65, 0), 0);
  EXPECT_EQ(list.RaiseKeyDown(40, 1), 40);
  EXPECT_EQ(list.RaiseKeyUp(40, 0), 40);  // no handler: passed through
}

// System colours that the test can change, as the desktop does on a theme change.
struct ChangingSystemColors : SystemColors {
  int32_t window = 0xFFFFFF;
  int32_t Lookup(int index) const override { return index == 5 ? window : 0; }
};

TEST(ListViewTest, UpdateColorsFollowsAThemeChange) {
  ChangingSystemColors system;
  ListView list(StandardDeviceMetrics(), system);
  EXPECT_EQ(list.BackColor().RGBColor(), 0xFFFFFF);
  CountingObserver observer;
  list.SetObserver(&observer);
  system.window = 0x202020;                          // a dark theme
  EXPECT_EQ(list.BackColor().RGBColor(), 0xFFFFFF);  // cached until updated
  list.UpdateColors();
  EXPECT_EQ(list.BackColor().RGBColor(), 0x202020);
  EXPECT_EQ(observer.repaints, 1);
}

// The items are replaced; each result column adds a column named after it, 80 wide.
TEST(ListViewRowsTest, ReplacesTheItemsAndAddsOneColumnPerResultColumn) {
  ListView list;
  list.AddColumn("old", "Old", 0, 80);
  list.AddItem(-1, "old item");
  ListViewRows rows(list);
  rows.BeginRows({"direction", "abb"}, 2);
  rows.AddRow(std::vector<std::string>{"L", "WHO"});
  rows.AddRow(std::vector<std::string>{"R", ""});
  ASSERT_EQ(list.ColumnCount(), 3);
  EXPECT_EQ(std::make_tuple(list.ColumnAt(2).key, list.ColumnAt(2).Caption, list.ColumnAt(2).Width),
            std::make_tuple("abb", "abb", 80));
  EXPECT_EQ(FirstColumn(list), (std::vector<std::string>{"L", "R"}));
  EXPECT_EQ(list.ItemText(0, 1), "WHO");
  EXPECT_EQ(list.ItemText(1, 1), "");
}

}  // namespace
}  // namespace quillon::widgets
