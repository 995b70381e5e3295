// The list view on screen: pixels of the painted surface where the drawing rules put things,
// and input through QTest.
#include "widgets/qt/ListViewWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <cstring>

#include "widgets/ListViewLayout.h"
#include "widgets/qt/QtSystemColors.h"

namespace quillon::widgets::qt {
namespace {

QColor ColorOf(const Color& c) {
  return ToQColor(c.RGBColor());
}

QColor Pixel(const QImage& image, int x, int y) {
  return QColor(image.pixel(x, y));
}

// A shown list of 300 x 200 with three columns and n items.
struct ListFixture {
  explicit ListFixture(int n) {
    w.resize(300, 200);
    ListView& list = w.model();
    list.AddColumn("L/R", "Direction", 0, 40);
    list.AddColumn("abb", "Abbreviation", 0, 100);
    list.AddColumn("abbtext", "Text", 0, 120);
    list.SetRedraw(false);
    for (int i = 0; i < n; ++i) {
      int32_t item = list.AddItem(-1, i % 2 ? "R" : "L");
      list.SetItemText(item, 1, "A" + std::to_string(i));
      list.SetItemText(item, 2, "Meaning " + std::to_string(i));
    }
    list.SetRedraw(true);
    w.show();
  }
  int32_t RowTop(int32_t row) const {
    return w.input().Layout().itemTop + (row - w.input().FirstRow()) * w.ItemHeight();
  }
  ListViewWidget w;
};

TEST(ListViewWidgetPixels, SelectedRowColoursAndPressedHeader) {
  ListFixture f(5);
  f.w.model().SetItemSelected(1, true);
  f.w.model().SetColumnPushed(1, true);
  const QImage& s = f.w.RenderSurface();
  const int right = f.w.input().Layout().clientWidth - 3;  // past the text, inside the row
  EXPECT_EQ(Pixel(s, right, f.RowTop(1) + 2), ColorOf(f.w.model().SelectedBackColor()));
  EXPECT_EQ(Pixel(s, right, f.RowTop(2) + 2), ColorOf(f.w.model().BackColor()));
  // A pressed header is etched: its top edge is the shadow colour, a raised one's is not.
  EXPECT_EQ(Pixel(s, 60, 0), ToQColor(DesktopSystemColors().Lookup(16)));
  EXPECT_EQ(Pixel(s, 10, 0), ToQColor(DesktopSystemColors().Lookup(22)));
}

TEST(ListViewWidgetPixels, CheckBoxSquareWhereTheHitZoneIs) {
  ListFixture f(3);
  ListView& list = f.w.model();
  list.SetProperty("Checkboxes", true);
  list.SetItemChecked(0, true);
  list.SetItemSelected(2, true);
  const QImage& s = f.w.RenderSurface();
  const int32_t h = f.w.ItemHeight();
  // The hit zone is [CheckBoxLeft, CheckBoxLeft + kCheckBoxSize): the square must fill it.
  const int32_t left = CheckBoxLeft(list);
  for (int32_t row : {0, 1, 2}) {
    const int32_t top = f.RowTop(row) + (h - kCheckBoxSize) / 2;
    const QColor box =
        row == 2 ? ColorOf(list.CheckboxSelectedColor()) : ColorOf(list.CheckBoxColor());
    EXPECT_EQ(Pixel(s, left, top), box) << row;
    EXPECT_EQ(Pixel(s, left + kCheckBoxSize - 1, top + kCheckBoxSize - 1), box) << row;
    EXPECT_EQ(Pixel(s, left - 1, top + 6),
              row == 2 ? ColorOf(list.SelectedBackColor()) : ColorOf(list.BackColor()))
        << row;
    if (row < 2) {  // the check mark is drawn inside the checked box only
      EXPECT_EQ(Pixel(s, left + 5, top + 8),
                ColorOf(row == 0 ? list.CheckBoxColor() : list.BackColor()));
    }
  }
}

TEST(ListViewWidgetPixels, FocusOutlineOnTheCurrentRow) {
  ListFixture f(4);
  ListView& list = f.w.model();
  list.SetSelectedItem(2);  // current, not selected
  QApplication::setActiveWindow(&f.w);
  f.w.setFocus();
  ASSERT_TRUE(f.w.hasFocus());
  QColor focus = ColorOf(list.FocusRectColor());
  const QImage& solid = f.w.RenderSurface();
  const int32_t top = f.RowTop(2);
  EXPECT_EQ(Pixel(solid, 0, top), focus);
  EXPECT_EQ(Pixel(solid, 150, top + f.w.ItemHeight() - 1), focus);
  EXPECT_EQ(Pixel(solid, 2, top + 3), ColorOf(list.BackColor()));
  EXPECT_NE(Pixel(solid, 0, f.RowTop(1)), focus);
  f.w.clearFocus();
  EXPECT_NE(Pixel(f.w.RenderSurface(), 0, top), focus);  // no focus, no outline
}

TEST(ListViewWidgetPixels, PicturesThroughTheImageClass) {
  ListFixture f(2);
  c32bppDIB red;
  ASSERT_TRUE(red.InitializeDIB(16, 16));
  for (int i = 0; i < 16 * 16; ++i) std::memcpy(red.BitsPointer() + i * 4, "\x00\x00\xFF\xFF", 4);
  ListView& list = f.w.model();
  ASSERT_EQ(list.AddPicture(red), 1);
  list.SetProperty("PictureWidth", 16);
  list.SetProperty("PictureHeight", 16);
  ListItem& item = const_cast<ListItem&>(list.Items().Item(1));
  item.PictureIndex = 1;
  const QImage& s = f.w.RenderSurface();
  const int32_t top = PictureTop(f.RowTop(1), f.w.ItemHeight(), 16);
  EXPECT_EQ(Pixel(s, kPictureLeft, top), QColor(255, 0, 0));
  EXPECT_EQ(Pixel(s, kPictureLeft + 15, top + 15), QColor(255, 0, 0));
  EXPECT_NE(Pixel(s, kPictureLeft, PictureTop(f.RowTop(0), f.w.ItemHeight(), 16)),
            QColor(255, 0, 0));
}

// Counts the cells painting asks the callback about.
struct CountingDraw : ICustomDraw {
  int cells = 0;
  int32_t lowest = INT32_MAX, highest = -1;
  void CustomDraw(int32_t item, int32_t, int32_t& back, int32_t&, bool&) override {
    ++cells;
    lowest = std::min(lowest, item);
    highest = std::max(highest, item);
    if (item == 7) back = 0x0000FF;  // red background for one row
  }
};

TEST(ListViewWidgetPixels, OnlyVisibleRowsArePaintedAndCallbackColoursApply) {
  for (int n : {100, 100000}) {
    ListFixture f(n);
    CountingDraw draw;
    f.w.model().SetDrawCallback(&draw);
    f.w.MakeSureVisible(5, -1);
    const QImage& s = f.w.RenderSurface();
    const ListViewLayout& l = f.w.input().Layout();
    const int rowsShown = (l.clientHeight - l.itemTop + l.itemHeight - 1) / l.itemHeight;
    EXPECT_EQ(draw.cells, rowsShown * 3) << n;
    EXPECT_EQ(draw.lowest, 5) << n;
    EXPECT_EQ(Pixel(s, l.clientWidth - 3, f.RowTop(7) + 2), ColorOf(f.w.model().BackColor()));
    EXPECT_EQ(Pixel(s, 38, f.RowTop(7) + 2), QColor(255, 0, 0)) << n;
    f.w.model().SetDrawCallback(nullptr);
  }
}

TEST(ListViewWidgetInput, MouseKeysWheelAndEvents) {
  ListFixture f(50);
  ListView& list = f.w.model();
  std::vector<std::string> raised;
  list.events().Click = [&](int32_t i) { raised.push_back("Click " + std::to_string(i)); };
  list.events().DblClick = [&](int32_t i) { raised.push_back("DblClick " + std::to_string(i)); };
  list.events().ColumnClick = [&](int32_t c) {
    raised.push_back("ColumnClick " + std::to_string(c));
  };
  QApplication::setActiveWindow(&f.w);
  QTest::mouseClick(&f.w, Qt::LeftButton, {}, QPoint(60, f.RowTop(3) + 3));
  EXPECT_EQ(list.SelectedItem(), 3);
  EXPECT_TRUE(list.ItemSelected(3));
  QTest::mouseDClick(&f.w, Qt::LeftButton, {}, QPoint(60, f.RowTop(3) + 3));
  QTest::keyClick(&f.w, Qt::Key_Down);
  EXPECT_EQ(list.SelectedItem(), 4);
  QTest::mouseClick(&f.w, Qt::LeftButton, {}, QPoint(70, 5));  // the "Abbreviation" header
  ASSERT_GE(raised.size(), 4u);
  EXPECT_EQ(raised.front(), "Click 3");
  EXPECT_NE(std::find(raised.begin(), raised.end(), "DblClick 3"), raised.end());
  EXPECT_EQ(raised.back(), "ColumnClick 1");
  // One notch toward the user scrolls down by the lines per notch.
  const int lines = f.w.scrollbars().LinesPerNotch();
  QWheelEvent wheel(QPointF(60, 60), f.w.mapToGlobal(QPointF(60, 60)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&f.w, &wheel);
  EXPECT_EQ(f.w.input().FirstRow(), lines);
  EXPECT_EQ(f.w.verticalBar()->value(), lines);
  // The bar's own buttons go through the same rules.
  f.w.verticalBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(f.w.input().FirstRow(), f.w.scrollbars().Bar(ScrollBarKind::kVertical).Max);
}

TEST(ListViewWidgetInput, HostileTextIsDrawnAndKeptVerbatim) {
  ListFixture f(0);
  ListView& list = f.w.model();
  const std::string texts[] = {std::string(10000, 'x'), "\"quoted\" 'single'", "שלום עולם",
                               std::string("tab\tnew\nline\x01", 14)};
  for (const std::string& t : texts) list.SetItemText(list.AddItem(-1, "L"), 2, t);
  const QImage& s = f.w.RenderSurface();
  EXPECT_FALSE(s.isNull());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.ItemText(i, 2), texts[i]);
}

}  // namespace
}  // namespace quillon::widgets::qt
