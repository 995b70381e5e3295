#include "addin/SettingSaveDeleteLoad.h"

#include <gtest/gtest.h>

#include "addin/FakeHost.h"

namespace quillon::addin {
namespace {

using testing::FakeWord;
using testing::Log;

struct Loaded {
  bool result = false;
  bool visible = false;
  int32_t position = -7, top = -7, left = -7, row = -7;
};

Loaded Load() {
  Loaded l;
  l.result = SettingLoad(l.visible, l.position, l.top, l.left, l.row);
  return l;
}

class SettingsTest : public testing::HostServicesTest {};

// The first load stores exactly the six defaults, in order; a later one only reads.
TEST_F(SettingsTest, FirstLoadStoresTheDefaultsLaterLoadReadsWithoutWriting) {
  Loaded l = Load();
  EXPECT_TRUE(l.result);
  EXPECT_EQ(std::make_tuple(l.visible, l.position, l.top, l.left, l.row),
            std::make_tuple(true, 4, 149, 135, 2));
  EXPECT_EQ(settings.writes, (std::vector<std::string>{"Visible=-1", "Position=4", "Top=149",
                                                       "Left=135", "RowIndex=2", "Startup=1"}));
  EXPECT_EQ(settings.values.size(), 6u);
  settings.writes.clear();
  Store("Visible", "0");
  Store("Position", "1");
  Store("Top", "-3");
  Store("Left", "40");
  Store("RowIndex", "5");
  l = Load();
  EXPECT_TRUE(l.result);
  EXPECT_EQ(std::make_tuple(l.visible, l.position, l.top, l.left, l.row),
            std::make_tuple(false, 1, -3, 40, 5));
  EXPECT_TRUE(settings.writes.empty());
}

TEST_F(SettingsTest, StartupZeroReturnsFalseAndTouchesNothing) {
  Store("Startup", "0");
  Store("Visible", "0");
  const Loaded l = Load();
  EXPECT_FALSE(l.result);
  EXPECT_EQ(l.position, -7);
  EXPECT_TRUE(settings.writes.empty());
}

// Any key missing or unreadable: the placement of a first connection.
TEST_F(SettingsTest, ADamagedStoreFallsBackToTheFirstConnectionPlacement) {
  const struct {
    const char* key;
    std::optional<const char*> value;  // nullopt: missing
  } cases[] = {{"Visible", std::nullopt}, {"Visible", "maybe"}, {"Position", "left"}, {"Top", ""},
               {"Left", "99999999999"},   {"RowIndex", "2.5"},  {"Startup", "yes"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value.value_or("(missing)"));
    for (const char* key : {"Startup", "Visible", "Position", "Top", "Left", "RowIndex"})
      Store(key, std::string(key) == "Startup" ? "1" : "3");
    if (c.value) {
      Store(c.key, *c.value);
    } else {
      settings.values.erase(std::string("Quillon AddIn/ToolBar/") + c.key);
    }
    const Loaded l = Load();
    EXPECT_TRUE(l.result);
    EXPECT_EQ(std::make_tuple(l.visible, l.position, l.top, l.left, l.row),
              std::make_tuple(true, 4, 149, 135, 2));
  }
}

TEST(SettingNumbers, ParseAsSigned32BitDecimalsAndBooleans) {
  const struct {
    const char* text;
    int32_t number;
  } cases[] = {{"0", 0},
               {"-1", -1},
               {" 149 ", 149},
               {"+7", 7},
               {"2147483647", 2147483647},
               {"-2147483648", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(ParseSettingNumber(c.text), c.number) << c.text;
  for (const char* bad : {"2147483648", "", "1e3", "0x10", "-"})
    EXPECT_EQ(ParseSettingNumber(bad), std::nullopt) << bad;
  EXPECT_EQ(ParseSettingBoolean("-1"), true);
  EXPECT_EQ(ParseSettingBoolean("0"), false);
  EXPECT_EQ(ParseSettingBoolean("5"), true);
  EXPECT_EQ(ParseSettingBoolean("True"), true);
  EXPECT_EQ(ParseSettingBoolean("FALSE"), false);
  EXPECT_EQ(ParseSettingBoolean("yes"), std::nullopt);
}

class SaveTest : public SettingsTest {
 protected:
  std::shared_ptr<testing::FakeBar> AddBar() {
    word.bars.Add(kBarName, host::kMissing, false, true);
    log.clear();
    return word.bars.bars.back();
  }
  FakeWord word{log};
};

TEST_F(SaveTest, DockedBarStoresDockAndFloatingWidthAndGoesBackToItsDock) {
  auto bar = AddBar();
  bar->AddControl(1);
  bar->AddControl(1);
  bar->position = host::msoBarTop;
  bar->top = 26;
  bar->left = 310;
  bar->row = 3;
  bar->visible = true;
  SettingSave(word);
  EXPECT_EQ(settings.writes, (std::vector<std::string>{"Visible=-1", "Position=1", "Top=26",
                                                       "Left=310", "RowIndex=3", "Width=54"}));
  EXPECT_EQ(bar->position, host::msoBarTop);
  EXPECT_TRUE(bar->visible);
  // Hidden and floating while the width is measured, then put back in that order.
  const Log tail(log.end() - 5, log.end());
  EXPECT_EQ(tail, (Log{"Bar.Position=4", "Bar.Width", "SaveSetting(Width,54)", "Bar.Position=1",
                       "Bar.Visible=-1"}));
}

// No bar stores nothing; a hidden bar stays hidden; the width, measured at every save,
// follows the buttons.
TEST_F(SaveTest, HiddenBarStoresVisibleZeroAndItsWidthAtEverySave) {
  SettingSave(word);
  EXPECT_TRUE(settings.writes.empty());
  auto bar = AddBar();
  bar->visible = false;
  SettingSave(word);
  EXPECT_EQ(settings.Value("Visible"), "0");
  EXPECT_FALSE(bar->visible);
  EXPECT_EQ(settings.Value("Startup"), "");
  EXPECT_EQ(settings.Value("Width"), "6");
  bar->AddControl(1);
  SettingSave(word);
  EXPECT_EQ(settings.Value("Width"), "30");
}

}  // namespace
}  // namespace quillon::addin
