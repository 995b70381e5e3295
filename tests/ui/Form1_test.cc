// The library manager window: loading, the list, the commands and the in-place edit.
#include "ui/Form1.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>

#include "document/DocumentFixture.h"
#include "library/SQLlite.h"
#include "support/ScriptedFileDialog.h"
#include "support/Sql.h"
#include "widgets/qt/ListViewWidget.h"
#include "widgets/qt/MartenComboBoxWidget.h"

namespace quillon::ui {
namespace {

using document::P;
using document::Placeholder;
using document::R;
using library::State;

class Form1Test : public document::DocumentTest {
 protected:
  // Fills the open library with n entries "A0000".."A<n-1>" meaning "Meaning <i>" in one go.
  void Fill(int n) {
    std::string sql = "begin;";
    for (int i = 0; i < n; ++i) {
      char abb[16];
      std::snprintf(abb, sizeof abb, "A%05d", i);
      sql += "insert into abbreviations (direction, abb, abbtext) values ('L','" +
             std::string(abb) + "','Meaning " + std::to_string(i) + "');";
    }
    testing::ExecSql(State().LibraryPath, sql + "commit;");
  }
  testing::ScriptedFileDialog files;
};

TEST_F(Form1Test, LoadsWithoutALibrary) {
  State().LibraryPath.clear();
  Form1 form;
  EXPECT_EQ(form.windowTitle(), "Quillon plugin");
  const widgets::ListView& list = form.ListView1->model();
  ASSERT_EQ(list.ColumnCount(), 3);
  EXPECT_EQ(list.ColumnAt(2).Width, form.ListView1->width() - 250);
  for (int i : {0, 1, 2, 3, 4, 5, 7}) EXPECT_TRUE(form.Toolbar[i]->isEnabled()) << i;
}

// The last selected pair comes selected and scrolled into view.
TEST_F(Form1Test, LoadsTheEntriesAndTheLastSelectedPair) {
  Fill(300);
  State().LastSelectedAbb = "A00250";
  State().LastSelectedText = "Meaning 250";
  Form1 form;
  EXPECT_EQ(form.NumberOFAbbrev->text(), " 300 abbreviations found");
  EXPECT_EQ(form.windowTitle().toStdString(), "Quillon plugin - " + State().LibraryPath);
  const widgets::ListView& list = form.ListView1->model();
  EXPECT_EQ(list.ItemCount(), 300);
  EXPECT_EQ(list.SelectedItem(), 250);
  EXPECT_TRUE(list.ItemSelected(250));
  EXPECT_FALSE(list.ItemSelected(249));
  EXPECT_GT(form.ListView1->input().FirstRow(), 200);
  // Resizing keeps the list above the button row.
  form.show();
  form.resize(800, 500);
  EXPECT_EQ(form.ListView1->width(), 800);
  EXPECT_EQ(form.ListView1->height(), 500 - form.Toolbar[0]->height() - 20);
}

TEST_F(Form1Test, ColumnClicksChooseTheNextOrder) {
  Fill(3);
  Form1 form;
  const struct {
    int column;
    int16_t sortColumn, sortOrder;
  } steps[] = {{1, 2, 1}, {1, 2, 2}, {1, 2, 1}, {2, 3, 1}, {0, 1, 1}, {0, 1, 2}};
  for (const auto& s : steps) {
    form.ListView1->model().RaiseColumnClick(s.column);
    EXPECT_EQ(State().SortColumn, s.sortColumn);
    EXPECT_EQ(State().SortOrder, s.sortOrder);
  }
  form.RefreshListView(0);  // the order applies at the next load: by direction, descending
  EXPECT_EQ(form.ListView1->model().ItemCount(), 3);
}

TEST_F(Form1Test, InsertNeedsASelectionAndADocument) {
  Fill(3);
  Form1 form;
  form.show();
  form.Toolbar_Click(3);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Please select an Abbreviation first"});
  EXPECT_TRUE(form.isVisible());
  form.ListView1->model().SetItemSelected(1, true);
  form.insertPair = nullptr;  // no document and no other taker
  form.Toolbar_Click(3);
  EXPECT_EQ(messages.Texts().back(), Form1::kNoDocumentText);
  EXPECT_TRUE(form.isVisible());
  // A taker that accepts: the window unloads and the pending pair is emptied.
  std::string taken;
  form.insertPair = [&](const std::string& abb, const std::string& text) {
    taken = abb + "|" + text;
    return true;
  };
  bool unloaded = false;
  QObject::connect(&form, &Form1::unloaded, [&] { unloaded = true; });
  form.Toolbar_Click(3);
  EXPECT_EQ(taken, "A00001|Meaning 1");
  EXPECT_TRUE(unloaded);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(State().PendingAbb, "");
}

TEST_F(Form1Test, InsertPutsAPlaceholderIntoTheDocument) {
  AddEntry("SNR", "Signal-to-Noise Ratio");
  Open(P(R("Before.")));
  Form1 form(&word);
  form.ListView1->model().SetItemSelected(0, true);
  form.Toolbar_Click(3);
  EXPECT_EQ(word.ActiveDocument().Fields().Count(), 1);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(Form1Test, AddOffersARefusedDuplicateAgain) {
  Fill(2);
  Form1 form;
  int shown = 0;
  form.showAddEntry = [&] {
    ++shown;
    if (shown == 1) {
      State().PendingAbb = "A00001";
      State().PendingText = "Meaning 1";
      State().PendingDirection = "L";
    }
  };
  form.Toolbar_Click(2);
  form.Toolbar_Click(2);  // closed without ADD: the refused pair is still pending
  EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Abbreviation already exists",
                                                        "Abbreviation already exists"}));
  form.showAddEntry = [] {
    State().PendingAbb = "NEW";
    State().PendingText = "A new one";
    State().PendingDirection = "R";
  };
  form.Toolbar_Click(2);
  const widgets::ListView& list = form.ListView1->model();
  EXPECT_EQ(list.ItemCount(), 3);
  ASSERT_GE(list.SelectedItem(), 0);
  EXPECT_EQ(list.ItemText(list.SelectedItem(), 1), "NEW");
  EXPECT_EQ(State().PendingAbb, "");
  EXPECT_EQ(form.NumberOFAbbrev->text(), " 2 abbreviations found");  // not refreshed by Add
  State().LibraryPath.clear();
  form.Toolbar_Click(2);
  EXPECT_EQ(messages.Texts().back(), "Open database first");
}

TEST_F(Form1Test, DeleteAsksTwiceAndKeepsFieldsOnNo) {
  AddEntry("SNR", "Signal-to-Noise Ratio");
  AddEntry("DC", "Direct Current");
  Open(P(Placeholder("SNR", "Signal-to-Noise Ratio")));
  Form1 form(&word);
  form.Toolbar_Click(4);
  EXPECT_EQ(messages.Texts().back(), "Please select an Abbreviation first");
  form.ListView1->model().SetItemSelected(1, true);  // rows come in library order: SNR, DC
  messages.answers = {host::MsgBoxResult::kNo};
  form.Toolbar_Click(4);
  EXPECT_EQ(form.ListView1->model().ItemCount(), 2);  // not sure: nothing deleted
  form.ListView1->model().SetItemSelected(1, false);
  form.ListView1->model().SetItemSelected(0, true);
  messages.answers = {host::MsgBoxResult::kYes, host::MsgBoxResult::kNo};
  form.Toolbar_Click(4);
  EXPECT_EQ(form.ListView1->model().ItemCount(), 1);
  EXPECT_FALSE(library::FindEntry(State().LibraryPath, "SNR", "Signal-to-Noise Ratio"));
  EXPECT_EQ(word.ActiveDocument().Fields().Count(), 1);  // the field stays
  EXPECT_EQ(messages.Texts().back(),
            "Disconnect corresponding abbreviations' links in the document?\r"
            "Clicking No- makes it appear in the abbreviation list.");
}

TEST_F(Form1Test, OpenAndCreateCancelled) {
  Fill(2);
  Form1 form;
  form.createSettleMs = 0;
  form.Toolbar_Click(0);  // cancelled: nothing open, the list still shows the entries
  EXPECT_EQ(State().LibraryPath, "");
  EXPECT_EQ(form.ListView1->model().ItemCount(), 2);
  form.Toolbar_Click(4);
  EXPECT_EQ(messages.Texts().back(), "Please open a database first");
  form.Toolbar_Click(1);  // cancelled
  EXPECT_EQ(State().LibraryPath, "");
  // Create over an existing file, answered No: no library open.
  const std::string existing = dir.File("lib.abb");
  files.answers = {existing};
  messages.answers = {host::MsgBoxResult::kNo};
  form.Toolbar_Click(1);
  EXPECT_EQ(messages.Texts().back(), "File already exist, overwrite");
  EXPECT_EQ(State().LibraryPath, "");
  // A new file: an empty library with the empty-library columns and a count of 0.
  files.answers = {dir.File("fresh.abb")};
  form.Toolbar_Click(1);
  EXPECT_EQ(State().LibraryPath, dir.File("fresh.abb"));
  EXPECT_EQ(form.ListView1->model().ItemCount(), 0);
  EXPECT_EQ(form.ListView1->model().ColumnAt(0).Caption, "Direction");
  EXPECT_EQ(form.NumberOFAbbrev->text(), " 0 abbreviations found");
  // Open an existing one.
  files.answers = {existing};
  form.Toolbar_Click(0);
  EXPECT_EQ(form.ListView1->model().ItemCount(), 2);
}

TEST_F(Form1Test, AVanishedLibraryIsReportedAndTheWindowStaysUsable) {
  Fill(2);
  Form1 form;
  std::filesystem::remove(State().LibraryPath);
  form.ListView1->model().SetItemSelected(0, true);
  messages.answers = {host::MsgBoxResult::kYes};
  form.Toolbar_Click(4);
  EXPECT_THAT(messages.Texts().back(),
              ::testing::HasSubstr("is not found"));  // the store's message
  EXPECT_TRUE(form.Toolbar[0]->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(State().LibraryPath));  // nothing written
}

TEST_F(Form1Test, InPlaceEditPlacesTheEditorsAndCommits) {
  Fill(3);
  Form1 form;
  form.show();
  widgets::ListView& list = form.ListView1->model();
  list.SetSelectedItem(1);
  list.SetItemSelected(1, true);
  form.ListView1_DblClick(1);
  ASSERT_TRUE(form.Editing());
  for (int i : {0, 1, 2, 3, 4, 5}) EXPECT_FALSE(form.Toolbar[i]->isEnabled()) << i;
  EXPECT_TRUE(form.Toolbar[7]->isEnabled());
  EXPECT_FALSE(form.ListView1->isEnabled());
  const auto direction = *form.ListView1->GetItemRect(0, 1);
  const auto meaning = *form.ListView1->GetItemRect(2, 1);
  EXPECT_EQ(form.Combo1->x(), direction.Left - 4);
  EXPECT_EQ(form.Combo1->y(), direction.Top - 1);
  EXPECT_EQ(form.Text2->geometry(), QRect(meaning.Left, meaning.Top, meaning.Right - meaning.Left,
                                          meaning.Bottom - meaning.Top));
  EXPECT_EQ(form.OK->x() + form.OK->width(), form.Text2->x() + form.Text2->width());
  EXPECT_EQ(form.OK->y(), form.Text2->y() + form.Text2->height());
  EXPECT_EQ(form.Text1->text(), "A00001");
  EXPECT_EQ(form.Combo1->model().ListCount(), 2);
  form.ListView1_DblClick(1);  // a second edit does not add the items again
  EXPECT_EQ(form.Combo1->model().ListCount(), 2);

  form.Combo1->model().SetListIndex(1);
  form.Text1->setText("B1");
  form.OK_Click();
  EXPECT_FALSE(form.Editing());
  EXPECT_FALSE(form.isVisible());  // the manager unloads after the commit
  auto entry = library::FindEntry(State().LibraryPath, "B1", "Meaning 1");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->direction, "R");
  EXPECT_FALSE(library::FindEntry(State().LibraryPath, "A00001", "Meaning 1"));
}

TEST_F(Form1Test, EditsTheRightRowBeyondSixteenBits) {
  Fill(40000);
  Form1 form;
  form.ListView1->model().SetSelectedItem(35000);
  form.ListView1_DblClick(35000);
  EXPECT_EQ(form.EditRow, 35000);
  EXPECT_EQ(form.Text1->text(), "A35000");
  form.Text2->setText("Changed");
  form.OK_Click();  // direction kept from the list (no row chosen in the combo box)
  auto entry = library::FindEntry(State().LibraryPath, "A35000", "Changed");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->direction, "L");
  EXPECT_TRUE(library::FindEntry(State().LibraryPath, "A02232", "Meaning 2232"));  // 35000 - 32768
}

}  // namespace
}  // namespace quillon::ui
