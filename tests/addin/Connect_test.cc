#include "addin/Connect.h"

#include <gtest/gtest.h>

#include "addin/BMPLoader.h"
#include "addin/FakeHost.h"
#include "addin/SettingSaveDeleteLoad.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"
#include "library/SQLlite.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::addin {
namespace {

using testing::FakeManager;
using testing::FakeWord;
using testing::Log;

class ConnectTest : public testing::HostServicesTest {
 protected:
  void SetUp() override { library::ResetState(); }
  void TearDown() override { library::ResetState(); }

  void ConnectNow(const std::string& progId = kProgId) {
    connect.AddinInstance_OnConnection(word, host::ext_cm_Startup, {progId, ""}, nullptr);
  }
  std::shared_ptr<testing::FakeBar> Bar() { return word.bars.Find(kBarName); }

  testing::ScriptedMessageBox messages;
  FakeWord word{log};
  FakeManager manager{log};
  Connect connect{manager};
};

// The calls that add button n with its picture, tooltip and tag.
Log ButtonCalls(int n, int picture, const std::string& tooltip, const std::string& tag) {
  const std::string b = ";Button" + std::to_string(n);
  return testing::Calls("Bar.Controls.Add(1);Form1.ImageList1(" + std::to_string(picture) + ")" +
                        b + ".Style=1" + b + ".TooltipText=" + tooltip + b + ".Tag=" + tag + b +
                        ".OnAction=!<Quillon.Connect>" + b + ".PasteFace" + b + ".Visible=-1;");
}

TEST_F(ConnectTest, FirstConnectionCallsTheHostInOrder) {
  ConnectNow();
  Log expected = testing::Calls(
      "Application.Visible=-1;Application.CommandBars;CommandBars.Item(Abbreviation bar);"
      "CommandBars.Add(Abbreviation bar,missing,0,-1);GetSetting(Startup);"
      "SaveSetting(Visible,-1);SaveSetting(Position,4);SaveSetting(Top,149);"
      "SaveSetting(Left,135);SaveSetting(RowIndex,2);SaveSetting(Startup,1);"
      "Bar.Visible=-1;Bar.Position=4;Bar.Top=149;Bar.Left=135;Bar.RowIndex=2;");
  for (const Log& calls : {ButtonCalls(1, 15, "Quillon", "Abbrev"),
                           ButtonCalls(2, 16, "Update document", "ButtonUpdate"),
                           ButtonCalls(3, 14, "Insert abbreviation list", "ButtonInsertList"),
                           ButtonCalls(4, 12, "Insert last selected", "ButtonInsertLastSelected"),
                           ButtonCalls(5, 13, "Export Abbreviations to library", "ButtonExport")}) {
    expected.insert(expected.end(), calls.begin(), calls.end());
  }
  EXPECT_EQ(log, expected);
  EXPECT_EQ(library::State().AddinTitle, "Quillon plugin");
  EXPECT_TRUE(word.Visible());
  EXPECT_TRUE(connect.Connected());
}

TEST_F(ConnectTest, DisconnectionStoresPlacementThenDeletesButtonsAndBar) {
  ConnectNow();
  Bar()->position = host::msoBarBottom;
  Bar()->top = 700;
  Bar()->left = 12;
  Bar()->row = 1;
  log.clear();
  connect.AddinInstance_OnDisconnection(host::ext_dm_HostShutdown, nullptr);
  // The placement is stored first; the width is measured floating and hidden.
  const Log expected = testing::Calls(
      "Application.CommandBars;CommandBars.Item(Abbreviation bar);Bar.Position;Bar.Visible;"
      "SaveSetting(Visible,-1);SaveSetting(Position,3);Bar.Top;SaveSetting(Top,700);Bar.Left;"
      "SaveSetting(Left,12);Bar.RowIndex;SaveSetting(RowIndex,1);Bar.Visible=0;Bar.Position=4;"
      "Bar.Width;SaveSetting(Width,126);Bar.Position=3;Bar.Visible=-1;Application.CommandBars;"
      "CommandBars.FindControl(ButtonExport);Button5.Delete;"
      "CommandBars.FindControl(ButtonInsertLastSelected);Button4.Delete;"
      "CommandBars.FindControl(ButtonInsertList);Button3.Delete;"
      "CommandBars.FindControl(ButtonUpdate);Button2.Delete;"
      "CommandBars.FindControl(Abbrev);Button1.Delete;"
      "CommandBars.Item(Abbreviation bar);Bar.Delete;");
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(connect.Connected());
  EXPECT_FALSE(connect.SelAbbrev);
  EXPECT_FALSE(Bar());
}

TEST_F(ConnectTest, OnActionCarriesTheInstanceProgIdExactly) {
  ConnectNow("Other.Addin");
  for (const auto& button : Bar()->buttons) EXPECT_EQ(button->onAction, "!<Other.Addin>");
  EXPECT_EQ(OnActionFor(""), "!<>");
}

// Style, tooltip and tag are checked through the call log of the first connection.
TEST_F(ConnectTest, ButtonsCarryTheirFaceWithMask) {
  ConnectNow();
  const auto& buttons = Bar()->buttons;
  ASSERT_EQ(buttons.size(), 5u);
  const uint8_t pictures[] = {15, 16, 14, 12, 13};
  for (size_t i = 0; i < buttons.size(); ++i) {
    // The picture's first pixel is black: the only white bit of the 2 x 2 mask (top row,
    // stored second).
    ASSERT_EQ(buttons[i]->mask.size(), 8u + 50u);
    EXPECT_EQ(buttons[i]->mask[48], 0x00);
    EXPECT_EQ(buttons[i]->mask[52], 0x80);
    // The face carries the row's picture: item number in every coloured pixel.
    ASSERT_EQ(buttons[i]->face.size(), 40u + 16u);
    EXPECT_EQ(buttons[i]->face[40], pictures[i]);
  }
}

TEST_F(ConnectTest, UsersClipboardIsPutBackEvenWhenAPictureIsRefused) {
  const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
  clipboard.data[1] = mine;
  ConnectNow();
  EXPECT_EQ(clipboard.data, (std::map<uint32_t, std::vector<uint8_t>>{{1, mine}}));
  clipboard.restores = 0;
  struct NoPictures : FakeManager {
    using FakeManager::FakeManager;
    host::Picture ListImage(int32_t) override { return {}; }
  } broken{log};
  Connect other{broken};
  try {
    other.AddinInstance_OnConnection(word, 0, {kProgId, ""}, nullptr);
    ADD_FAILURE() << "a missing picture was accepted";
  } catch (const host::HostError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidPicture);
  }
  EXPECT_EQ(clipboard.data, (std::map<uint32_t, std::vector<uint8_t>>{{1, mine}}));
  EXPECT_EQ(clipboard.restores, 1);
}

// A hidden floating bar and a docked one come back where they were; the width is measured
// floating, not the dock's 800.
TEST_F(ConnectTest, PlacementRoundTrips) {
  struct Case {
    bool visible;
    int position;
    long top, left, row;
    const char *storedVisible, *storedPosition;
  } cases[] = {{false, host::msoBarFloating, 50, 60, 0, "0", "4"},
               {true, host::msoBarTop, 30, 200, 2, "-1", "1"}};
  for (const Case& c : cases) {
    ConnectNow();
    Bar()->visible = c.visible;
    Bar()->position = c.position;
    Bar()->SetTop(c.top);
    Bar()->SetLeft(c.left);
    Bar()->row = c.row;
    connect.AddinInstance_OnDisconnection(0, nullptr);
    EXPECT_EQ(settings.Value("Visible"), c.storedVisible);
    EXPECT_EQ(settings.Value("Position"), c.storedPosition);
    EXPECT_EQ(settings.Value("Width"), "126");
    ConnectNow();
    ASSERT_TRUE(Bar());
    EXPECT_EQ(Bar()->visible, c.visible);
    EXPECT_EQ(Bar()->position, c.position);
    EXPECT_EQ(Bar()->Top(), c.top);
    EXPECT_EQ(Bar()->Left(), c.left);
    EXPECT_EQ(Bar()->row, c.row);
    EXPECT_EQ(Bar()->buttons.size(), 5u);
    connect.AddinInstance_OnDisconnection(0, nullptr);
  }
}

// A store that says not to restore the placement sets only visibility; a damaged one still
// connects, with the first connection's placement.
TEST_F(ConnectTest, StoredSettingsDecideWhatIsSetOnTheBar) {
  const struct {
    std::vector<std::pair<const char*, const char*>> stored;
    Log barWrites;
  } cases[] = {
      {{{"Startup", "0"}, {"Position", "1"}}, {"Bar.Visible=-1"}},
      {{{"Startup", "1"}, {"Visible", "-1"}, {"Position", "top"}},
       testing::Calls("Bar.Visible=-1;Bar.Position=4;Bar.Top=149;Bar.Left=135;Bar.RowIndex=2;")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.barWrites.size());
    settings.values.clear();
    for (const auto& [key, value] : c.stored) Store(key, value);
    log.clear();
    EXPECT_NO_THROW(ConnectNow());
    Log writes;
    for (const std::string& call : log)
      if (call.rfind("Bar.", 0) == 0 && call.find('=') != std::string::npos) writes.push_back(call);
    EXPECT_EQ(writes, c.barWrites);
    EXPECT_EQ(Bar()->position, host::msoBarFloating);
    connect.AddinInstance_OnDisconnection(0, nullptr);
  }
}

TEST_F(ConnectTest, StaleBarIsReplacedNotDuplicated) {
  ConnectNow();
  Connect second{manager};
  second.AddinInstance_OnConnection(word, 0, {kProgId, ""}, nullptr);
  size_t live = 0;
  for (const auto& bar : word.bars.bars) live += bar->deleted ? 0 : 1;
  EXPECT_EQ(live, 1u);
  EXPECT_EQ(Bar()->buttons.size(), 5u);
}

TEST_F(ConnectTest, ButtonsAndBarTheUserDeletedAreSkipped) {
  ConnectNow();
  Bar()->buttons[1]->Delete({});
  Bar()->buttons[3]->Delete({});
  log.clear();
  connect.AddinInstance_OnDisconnection(0, nullptr);
  int deletes = 0;
  for (const std::string& call : log) deletes += call.find(".Delete") != std::string::npos;
  EXPECT_EQ(deletes, 4);  // three buttons and the bar
  EXPECT_FALSE(Bar());

  ConnectNow();
  Bar()->Delete();
  EXPECT_NO_THROW(connect.AddinInstance_OnDisconnection(0, nullptr));
  EXPECT_FALSE(connect.Connected());
}

TEST_F(ConnectTest, ClicksReachTheHandlersUntilDisconnection) {
  ConnectNow();
  auto first = Bar()->buttons[0];
  auto last = Bar()->buttons[3];
  first->Click();
  EXPECT_EQ(manager.shown, 1);
  last->Click();  // no library open
  EXPECT_EQ(messages.Texts().back(), "Open a library first");
  connect.AddinInstance_OnDisconnection(0, nullptr);
  first->Click();
  EXPECT_EQ(manager.shown, 1);
}

class SelAbbrevTest : public ConnectTest {
 protected:
  void SetUp() override {
    ConnectTest::SetUp();
    library::CreateLibrary(dir.File("lib.abb"));
    const std::string& path = library::State().LibraryPath;
    ASSERT_EQ(path, dir.File("lib.abb"));
    ASSERT_TRUE(library::AddAbbreviation(path, "CNN", "Convolutional Neural Network", "L"));
    ASSERT_TRUE(library::AddAbbreviation(path, "GPU", "Graphics Processing Unit", "L"));
    word.SetDocument(docx::testing::Load(docx::testing::P(docx::testing::R("the gpu and more"))));
    ConnectNow();
  }
  void Select(long start, long end) { word.Selection().SetRange(start, end); }
  testing::TempDir dir;
};

TEST_F(SelAbbrevTest, SelectedTextPicksTheEntryAtOrAfterIt) {
  Select(4, 7);
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "GPU");
  EXPECT_EQ(library::State().LastSelectedText, "Graphics Processing Unit");
  EXPECT_EQ(manager.shown, 1);
}

TEST_F(SelAbbrevTest, TextNoEntryMatchesEmptiesThePair) {
  library::State().LastSelectedAbb = "CNN";
  library::State().LastSelectedText = "Convolutional Neural Network";
  Select(12, 16);  // "more" sorts after every abbreviation
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "");
  EXPECT_EQ(library::State().LastSelectedText, "");
  connect.ButtonInsertLastSelected_click();
  EXPECT_EQ(messages.Texts().back(), "Select an abbreviation first");
}

// An empty selection or no open library keeps the last selected pair; the manager shows.
TEST_F(SelAbbrevTest, EmptySelectionOrNoLibraryLeavesThePair) {
  library::State().LastSelectedAbb = "X";
  Select(3, 3);
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "X");
  library::State().LibraryPath.clear();
  Select(4, 7);
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "X");
  EXPECT_EQ(manager.shown, 2);
}

}  // namespace
}  // namespace quillon::addin
