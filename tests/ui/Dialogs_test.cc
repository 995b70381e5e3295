// The add-entry dialog and the online search form.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "library/AddinState.h"
#include "support/ScriptedMessageBox.h"
#include "ui/addentry.h"
#include "ui/onlinesearch.h"
#include "widgets/qt/MartenComboBoxWidget.h"

namespace quillon::ui {
namespace {

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    library::ResetState();
    library::State().AddinTitle = library::kAddinTitle;
  }
  ~DialogTest() override { library::ResetState(); }
  testing::ScriptedMessageBox messages;
};

TEST_F(DialogTest, AddEntryStoresWhatWasEntered) {
  const struct {
    const char* abb;
    const char* text;
    int direction;  // -1: untouched
    bool allSmall;
    const char* pendingText;
    const char* pendingDirection;
  } cases[] = {
      {"SNR", "Signal-to-Noise Ratio", -1, false, "Signal-to-Noise Ratio", "L"},
      {"SNR", "Signal-to-Noise Ratio", 1, false, "Signal-to-Noise Ratio", "R"},
      {"SNR", "Signal-TO-Noise RATIO", 0, true, "signal-to-noise ratio", "L"},
      {"", "no abbreviation", -1, false, "no abbreviation", "L"},
  };
  for (const auto& c : cases) {
    addentry dialog;
    EXPECT_EQ(dialog.Combo1->currentIndex(), -1);
    QTest::keyClicks(dialog.Text1, c.abb);
    dialog.Text2->setText(c.text);
    if (c.direction >= 0) dialog.Combo1->setCurrentIndex(c.direction);
    if (c.allSmall) QTest::mouseClick(dialog.allsmall, Qt::LeftButton);
    EXPECT_EQ(dialog.Text1->text().toStdString(), c.abb);  // never lower-cased
    QTest::mouseClick(dialog.addbutton, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(library::State().PendingAbb, c.abb);
    EXPECT_EQ(library::State().PendingText, c.pendingText);
    EXPECT_EQ(library::State().PendingDirection, c.pendingDirection);
  }
  // Closing another way stores nothing.
  library::State().PendingAbb = "kept";
  addentry dialog;
  dialog.Text1->setText("ignored");
  dialog.reject();
  EXPECT_EQ(library::State().PendingAbb, "kept");
}

TEST_F(DialogTest, OnlineSearchListAndAddresses) {
  onlinesearch form;
  std::vector<std::string> opened;
  form.openAddress = [&](const std::string& a) { opened.push_back(a); };
  form.readSetting = [](const char*) -> std::optional<std::string> { return "https://base.test/"; };
  form.show();  // the load step runs
  {
    onlinesearch earlier;  // an earlier opening, unloaded: the list does not grow
    earlier.show();
    earlier.close();
  }
  widgets::MartenComboBox& server = form.server->model();
  ASSERT_EQ(server.ListCount(), 4);
  EXPECT_EQ(server.ListIndex(), 0);
  EXPECT_NEAR(server.ColWidth(0),
              widgets::MartenComboBox::FromPixels(form.server->width(), 1) - 250, 0.5);

  form.Toolbar_Click();  // no abbreviation
  EXPECT_EQ(messages.Texts(),
            std::vector<std::string>{"Please enter an abbreviation to search for"});
  EXPECT_EQ(messages.shown.back().title, "Quillon plugin");
  EXPECT_TRUE(opened.empty());

  // Each site's address is SearchSites' rule; here the form uses the chosen row's site.
  form.abbrev->setText("R&D #1");
  form.Toolbar_Click();
  server.SetListIndex(1);
  form.Toolbar_Click();
  server.SetListIndex(-1);  // no row: the address stays empty and nothing opens
  form.Toolbar_Click();
  EXPECT_EQ(opened, (std::vector<std::string>{
                        "https://base.test/R%26D%20%231.html",
                        "https://base.test/search.jsp?query=R%26D%20%231&language=en&st=a"}));
  EXPECT_EQ(form.lastAddress(), "");
  EXPECT_TRUE(form.isVisible());  // the form stays open for a further search
}

}  // namespace
}  // namespace quillon::ui
