// The grid combo box on screen: its border, button and list window, and keys through QTest.
#include "widgets/qt/MartenComboBoxWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "widgets/qt/QtSystemColors.h"

namespace quillon::widgets::qt {
namespace {

QColor Pixel(QWidget& w, int x, int y) {
  return QColor(w.grab().toImage().pixel(x, y));
}

struct ComboFixture {
  explicit ComboFixture(std::initializer_list<const char*> rows) {
    window.resize(300, 200);
    combo = new MartenComboBoxWidget(&window);
    combo->setGeometry(20, 20, 120, 24);
    for (const char* r : rows) combo->model().AddItem(r);
    window.show();
    QApplication::setActiveWindow(&window);
  }
  QWidget window;
  MartenComboBoxWidget* combo;
};

TEST(MartenComboBoxWidgetPixels, BorderHotBorderAndButton) {
  ComboFixture f({"L", "R"});
  MartenComboBox& m = f.combo->model();
  m.SetHotBorderColor(0x0000FF);                       // red while the mouse is over the control
  EXPECT_EQ(Pixel(*f.combo, 60, 0), QColor(0, 0, 0));  // BorderColor, black
  QEnterEvent hover(QPointF(5, 5), QPointF(5, 5), QPointF(25, 25));
  QApplication::sendEvent(f.combo, &hover);
  ASSERT_TRUE(f.combo->IsHot());
  EXPECT_EQ(Pixel(*f.combo, 60, 0), QColor(255, 0, 0));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(f.combo, &leave);
  EXPECT_EQ(Pixel(*f.combo, 60, 0), QColor(0, 0, 0));
  // Raised button: light top edge; sunken while the list is open: shadow top edge.
  const QRect button = f.combo->ButtonRect();
  const QColor light = ToQColor(DesktopSystemColors().Lookup(20));
  const QColor shadow = ToQColor(DesktopSystemColors().Lookup(16));
  EXPECT_EQ(Pixel(*f.combo, button.center().x(), button.top()), light);
  f.combo->OpenList();
  ASSERT_TRUE(f.combo->IsOpen());
  EXPECT_EQ(Pixel(*f.combo, button.center().x(), button.top()), shadow);
  f.combo->CloseList(false);
  EXPECT_FALSE(f.combo->picList()->isVisible());
}

TEST(MartenComboBoxWidgetList, OpensBelowTheControlAndTakesAClickedRow) {
  ComboFixture f({"L", "R", "X"});
  int opens = 0, clicks = 0;
  f.combo->model().events().DropDownOpen = [&] { ++opens; };
  f.combo->model().events().Click = [&] { ++clicks; };
  QTest::mouseClick(f.combo, Qt::LeftButton, {}, QPoint(60, 12));
  ASSERT_TRUE(f.combo->IsOpen());
  ComboDropDownList* list = f.combo->picList();
  EXPECT_TRUE(list->isVisible());
  EXPECT_EQ(list->height(), f.combo->RowMetrics().rowHeight * 3 + 2);
  EXPECT_EQ(list->width(), f.combo->width());
  EXPECT_EQ(list->geometry().top(), f.combo->mapToGlobal(QPoint(0, 0)).y() + f.combo->height());
  const int rowY = 1 + f.combo->RowMetrics().rowHeight + 2;  // inside row 1
  QTest::mousePress(list, Qt::LeftButton, {}, QPoint(10, rowY));
  QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(10, rowY));
  EXPECT_EQ(std::make_tuple(f.combo->IsOpen(), f.combo->model().ListIndex(),
                            f.combo->model().Text(), opens, clicks),
            std::make_tuple(false, 1, "R", 1, 1));
}

// The key rules are the input's; here only that Qt's keys reach them and the list window follows.
TEST(MartenComboBoxWidgetKeys, KeysReachTheInputAndTheListWindowFollows) {
  ComboFixture f({"a", "b", "c"});
  MartenComboBox& m = f.combo->model();
  f.combo->setFocus();
  m.SetListIndex(0);
  QTest::keyClick(f.combo, Qt::Key_Down);
  EXPECT_EQ(m.ListIndex(), 1);
  QTest::keyClick(f.combo, Qt::Key_Down, Qt::AltModifier);  // opens
  ASSERT_TRUE(f.combo->IsOpen());
  EXPECT_TRUE(f.combo->picList()->isVisible());
  QTest::keyClick(f.combo, Qt::Key_Down);
  QTest::keyClick(f.combo, Qt::Key_Up, Qt::AltModifier);  // takes the highlighted row
  EXPECT_FALSE(f.combo->picList()->isVisible());
  EXPECT_EQ(m.ListIndex(), 2);
}

TEST(MartenComboBoxWidgetEdit, AutoCompleteAndEditTextChanged) {
  std::string seen;
  ComboFixture f({"AcronymFinder", "Acronyma", "All-Acronyms", "TheFreeDictionary"});
  MartenComboBox& m = f.combo->model();
  m.SetEditable(true);
  m.SetAutoComplete(true);
  QLineEdit* edit = f.combo->txtEdit();
  ASSERT_TRUE(edit->isVisible());
  edit->setFocus();
  QTest::keyClicks(edit, "al");
  EXPECT_EQ(edit->text(), "all-Acronyms");
  EXPECT_EQ(edit->selectedText(), "l-Acronyms");
  m.events().EditTextChanged = [&](int32_t, const std::string& oldText, const std::string& newText,
                                   bool& cancel) {
    seen = oldText + ">" + newText;
    cancel = true;
  };
  QTest::keyClick(edit, Qt::Key_Enter);  // Enter search: the row equal to the text, ignoring case
  EXPECT_EQ(m.ListIndex(), 2);
  edit->setText("something else");
  f.window.setFocus();
  QTest::qWait(20);
  EXPECT_EQ(seen, "All-Acronyms>something else");
  EXPECT_EQ(m.Text(), "All-Acronyms");  // cancelled: the shown text stays
}

}  // namespace
}  // namespace quillon::widgets::qt
