#include "addin/Connect.h"

#include <gmock/gmock.h>
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
  FakeManager manager;
  Connect connect{manager};
};

// The bar is a temporary one placed as a first connection stores it; each button gets the icon
// style, its tooltip and tag, the instance's OnAction, and its picture pasted as face and mask.
TEST_F(ConnectTest, FirstConnectionBuildsTheBarAndItsButtons) {
  ConnectNow("Other.Addin");
  EXPECT_THAT(log, ::testing::Contains("CommandBars.Add(Abbreviation bar,missing,0,-1)"));
  EXPECT_EQ(std::count(log.begin(), log.end(), "Bar.Controls.Add(1)"), 5);
  EXPECT_EQ(library::State().AddinTitle, "Quillon plugin");
  EXPECT_TRUE(word.Visible());
  EXPECT_TRUE(connect.Connected());
  ASSERT_TRUE(Bar());
  EXPECT_EQ(std::make_tuple(Bar()->position, Bar()->Top(), Bar()->Left(), Bar()->row),
            std::make_tuple(host::msoBarFloating, 149L, 135L, 2L));
  const struct {
    uint8_t picture;
    const char *tooltip, *tag;
  } rows[] = {{15, "Quillon", "Abbrev"},
              {16, "Update document", "ButtonUpdate"},
              {14, "Insert abbreviation list", "ButtonInsertList"},
              {12, "Insert last selected", "ButtonInsertLastSelected"},
              {13, "Export Abbreviations to library", "ButtonExport"}};
  ASSERT_EQ(Bar()->buttons.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const testing::FakeButton& button = *Bar()->buttons[i];
    SCOPED_TRACE(rows[i].tag);
    EXPECT_EQ(std::make_tuple(button.style, button.tooltip, button.tag, button.onAction),
              std::make_tuple(host::msoButtonIcon, rows[i].tooltip, rows[i].tag, "!<Other.Addin>"));
    // The picture's first pixel is black: the only white bit of the 2 x 2 mask (top row,
    // stored second). The face carries the item number in every coloured pixel.
    ASSERT_EQ(button.mask.size(), 8u + 50u);
    EXPECT_EQ(std::make_tuple(button.mask[48], button.mask[52]), std::make_tuple(0x00, 0x80));
    ASSERT_EQ(button.face.size(), 40u + 16u);
    EXPECT_EQ(button.face[40], rows[i].picture);
  }
}

// Buttons and a bar the user deleted already are skipped (the host refuses calls on them).
TEST_F(ConnectTest, DisconnectionDeletesTheButtonsAndTheBar) {
  ConnectNow();
  const auto bar = Bar();
  const auto buttons = bar->buttons;
  buttons[1]->Delete({});
  buttons[3]->Delete({});
  EXPECT_NO_THROW(connect.AddinInstance_OnDisconnection(host::ext_dm_HostShutdown, nullptr));
  for (const auto& button : buttons) EXPECT_TRUE(button->deleted);
  EXPECT_TRUE(bar->deleted);
  EXPECT_FALSE(connect.Connected());
  EXPECT_FALSE(connect.SelAbbrev);

  ConnectNow();
  Bar()->Delete();
  EXPECT_NO_THROW(connect.AddinInstance_OnDisconnection(0, nullptr));
  EXPECT_FALSE(connect.Connected());
}

TEST_F(ConnectTest, UsersClipboardIsPutBackEvenWhenAPictureIsRefused) {
  const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
  clipboard.data[1] = mine;
  ConnectNow();
  EXPECT_EQ(clipboard.data, (std::map<uint32_t, std::vector<uint8_t>>{{1, mine}}));
  clipboard.restores = 0;
  struct NoPictures : FakeManager {
    host::Picture ListImage(int32_t) override { return {}; }
  } broken;
  Connect other{broken};
  const auto connectOther = [&] {
    other.AddinInstance_OnConnection(word, 0, {kProgId, ""}, nullptr);
  };
  EXPECT_EQ(testing::RaisedBy(connectOther).Number(), kErrInvalidPicture);
  EXPECT_EQ(clipboard.data, (std::map<uint32_t, std::vector<uint8_t>>{{1, mine}}));
  EXPECT_EQ(clipboard.restores, 1);
}

// A hidden floating bar and a docked one come back where they were; the width is measured
// floating, not the dock's 800.
TEST_F(ConnectTest, PlacementRoundTrips) {
  const auto roundTrip = [&](bool visible, int position, long top, long left, long row,
                             const Log& stored) {
    ConnectNow();
    Bar()->visible = visible;
    Bar()->position = position;
    Bar()->SetTop(top);
    Bar()->SetLeft(left);
    Bar()->row = row;
    settings.writes.clear();
    connect.AddinInstance_OnDisconnection(0, nullptr);
    EXPECT_EQ(settings.writes, stored);
    ConnectNow();
    ASSERT_TRUE(Bar());
    EXPECT_EQ(
        std::make_tuple(Bar()->visible, Bar()->position, Bar()->Top(), Bar()->Left(), Bar()->row),
        std::make_tuple(visible, position, top, left, row));
    connect.AddinInstance_OnDisconnection(0, nullptr);
  };
  roundTrip(false, host::msoBarFloating, 50, 60, 0,
            {"Visible=0", "Position=4", "Top=50", "Left=60", "RowIndex=0", "Width=126"});
  roundTrip(true, host::msoBarTop, 30, 200, 2,
            {"Visible=-1", "Position=1", "Top=30", "Left=200", "RowIndex=2", "Width=126"});
}

// A bar left from an earlier connection is replaced, not duplicated.
TEST_F(ConnectTest, StaleBarIsReplacedNotDuplicated) {
  ConnectNow();
  Connect second{manager};
  second.AddinInstance_OnConnection(word, 0, {kProgId, ""}, nullptr);
  EXPECT_EQ(std::count_if(word.bars.bars.begin(), word.bars.bars.end(),
                          [](const auto& bar) { return !bar->deleted; }),
            1);
  EXPECT_EQ(Bar()->buttons.size(), 5u);
}

TEST_F(ConnectTest, ClicksReachTheHandlersUntilDisconnection) {
  ConnectNow();
  const auto first = Bar()->buttons[0];
  first->Click();
  EXPECT_EQ(manager.shown, 1);
  Bar()->buttons[3]->Click();  // no library open
  EXPECT_EQ(messages.Texts().back(), "Open a library first");
  connect.AddinInstance_OnDisconnection(0, nullptr);
  first->Click();
  EXPECT_EQ(manager.shown, 1);
}

// A store that says not to restore the placement sets only visibility.
TEST_F(ConnectTest, StartupZeroSetsOnlyVisibility) {
  Store("Startup", "0");
  Store("Position", "1");
  ConnectNow();
  Log writes;
  for (const std::string& call : log)
    if (call.rfind("Bar.", 0) == 0 && call.find('=') != std::string::npos) writes.push_back(call);
  EXPECT_EQ(writes, Log{"Bar.Visible=-1"});
  EXPECT_EQ(Bar()->position, host::msoBarFloating);
  EXPECT_TRUE(settings.writes.empty());  // nor is the store written
}

// The selected text looks the entry up (the lookup itself is the library's); an empty selection
// or no open library keeps the last pair. The manager shows each time.
TEST_F(ConnectTest, SelAbbrevLooksTheSelectionUpThenShowsTheManager) {
  testing::TempDir dir;
  library::CreateLibrary(dir.File("lib.abb"));
  const std::string& path = library::State().LibraryPath;
  ASSERT_TRUE(library::AddAbbreviation(path, "CNN", "Convolutional Neural Network", "L"));
  ASSERT_TRUE(library::AddAbbreviation(path, "GPU", "Graphics Processing Unit", "L"));
  word.SetDocument(docx::testing::Load(docx::testing::P(docx::testing::R("the gpu and more"))));
  ConnectNow();
  word.Selection().SetRange(4, 7);
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "GPU");
  EXPECT_EQ(library::State().LastSelectedText, "Graphics Processing Unit");
  library::State().LastSelectedAbb = "X";
  word.Selection().SetRange(3, 3);
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "X");
  library::State().LibraryPath.clear();
  word.Selection().SetRange(4, 7);
  connect.SelAbbrev_Click();
  EXPECT_EQ(library::State().LastSelectedAbb, "X");
  EXPECT_EQ(manager.shown, 3);
}

}  // namespace
}  // namespace quillon::addin
