#include "addin/SettingSaveDeleteLoad.h"

#include <gtest/gtest.h>

#include "addin/FakeHost.h"

namespace quillon::addin {
namespace {

class SettingsTest : public testing::HostServicesTest {};

// The first load stores the defaults and "Startup"; with "Startup" 0 stored, a load returns
// false and neither sets the outputs nor writes.
TEST_F(SettingsTest, FirstLoadStoresTheDefaultsAndStartupZeroTouchesNothing) {
  bool visible = false;
  int32_t position = -7, top = -7, left = -7, row = -7;
  EXPECT_TRUE(SettingLoad(visible, position, top, left, row));
  EXPECT_EQ(settings.writes, (std::vector<std::string>{"Visible=-1", "Position=4", "Top=149",
                                                       "Left=135", "RowIndex=2", "Startup=1"}));
  settings.writes.clear();
  Store("Startup", "0");
  position = -7;
  EXPECT_FALSE(SettingLoad(visible, position, top, left, row));
  EXPECT_EQ(position, -7);
  EXPECT_TRUE(settings.writes.empty());
}

// Without the bar nothing is stored; a docked bar is measured floating and put back.
TEST_F(SettingsTest, SaveStoresNothingWithoutTheBarAndLeavesItAsFound) {
  testing::FakeWord word{log};
  SettingSave(word);
  EXPECT_TRUE(settings.writes.empty());
  word.bars.Add(kBarName, host::kMissing, false, true);
  auto bar = word.bars.bars.back();
  bar->position = host::msoBarTop;
  SettingSave(word);
  EXPECT_EQ(settings.writes.back(), "Width=6");
  EXPECT_EQ(bar->position, host::msoBarTop);
  EXPECT_TRUE(bar->visible);
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
    bool visible = false;
    int32_t position = -7, top = -7, left = -7, row = -7;
    EXPECT_TRUE(SettingLoad(visible, position, top, left, row));
    EXPECT_EQ(std::make_tuple(visible, position, top, left, row),
              std::make_tuple(true, 4, 149, 135, 2));
  }
}

TEST(SettingNumbers, ParseAsSigned32BitDecimalsAndBooleans) {
  const std::pair<const char*, int32_t> numbers[] = {
      {" 149 ", 149}, {"+7", 7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(ParseSettingNumber(text), number) << text;
  for (const char* bad : {"2147483648", "", "1e3", "0x10", "-"})
    EXPECT_EQ(ParseSettingNumber(bad), std::nullopt) << bad;
  const std::pair<const char*, std::optional<bool>> booleans[] = {
      {"-1", true},   {"0", false},     {"5", true},
      {"True", true}, {"FALSE", false}, {"yes", std::nullopt}};
  for (const auto& [text, value] : booleans) EXPECT_EQ(ParseSettingBoolean(text), value) << text;
}

}  // namespace
}  // namespace quillon::addin
