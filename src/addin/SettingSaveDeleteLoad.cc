#include "addin/SettingSaveDeleteLoad.h"

#include <charconv>
#include <memory>

#include "addin/host/Application.h"
#include "addin/host/Platform.h"
#include "base/Text.h"

namespace quillon::addin {
namespace {

host::SettingsStore& Store() {
  host::SettingsStore* store = host::Platform().settings;
  if (store == nullptr) throw std::logic_error("no settings store installed");
  return *store;
}

std::optional<std::string> Get(const char* key) {
  return Store().GetSetting(kSettingsApplication, kSettingsSection, key);
}

void Put(const char* key, const std::string& value) {
  Store().SaveSetting(kSettingsApplication, kSettingsSection, key, value);
}

std::string BooleanText(bool value) {
  return value ? "-1" : "0";
}

}  // namespace

std::optional<int32_t> ParseSettingNumber(const std::string& text) {
  const std::string trimmed = TrimSpaces(text);
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (first != last && *first == '+') ++first;
  int32_t value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

std::optional<bool> ParseSettingBoolean(const std::string& text) {
  if (std::optional<int32_t> number = ParseSettingNumber(text)) return *number != 0;
  const std::string word = LowerCase(TrimSpaces(text));
  if (word == "true") return true;
  if (word == "false") return false;
  return std::nullopt;
}

bool SettingLoad(bool& Visible, int32_t& Position, int32_t& Top, int32_t& Left, int32_t& RowIndex) {
  // A "Startup" value that is not a number counts as nothing stored.
  const std::optional<std::string> startupText = Get("Startup");
  std::optional<int32_t> startup = startupText ? ParseSettingNumber(*startupText) : -1;
  if (!startup) startup = -1;

  const BarPlacement defaults;
  if (*startup == -1) {
    Put("Visible", BooleanText(defaults.Visible));
    Put("Position", std::to_string(defaults.Position));
    Put("Top", std::to_string(defaults.Top));
    Put("Left", std::to_string(defaults.Left));
    Put("RowIndex", std::to_string(defaults.RowIndex));
    Put("Startup", "1");
    Visible = defaults.Visible;
    Position = defaults.Position;
    Top = defaults.Top;
    Left = defaults.Left;
    RowIndex = defaults.RowIndex;
    return true;
  }
  if (*startup == 0) return false;

  auto number = [](const char* key) -> std::optional<int32_t> {
    const std::optional<std::string> text = Get(key);
    return text ? ParseSettingNumber(*text) : std::nullopt;
  };
  const std::optional<std::string> visibleText = Get("Visible");
  const std::optional<bool> visible =
      visibleText ? ParseSettingBoolean(*visibleText) : std::nullopt;
  const std::optional<int32_t> position = number("Position");
  const std::optional<int32_t> top = number("Top");
  const std::optional<int32_t> left = number("Left");
  const std::optional<int32_t> row = number("RowIndex");
  if (!visible || !position || !top || !left || !row) {
    // A damaged store must not stop the connection: the bar goes where a first connection
    // puts it.
    Visible = defaults.Visible;
    Position = defaults.Position;
    Top = defaults.Top;
    Left = defaults.Left;
    RowIndex = defaults.RowIndex;
    return true;
  }
  Visible = *visible;
  Position = *position;
  Top = *top;
  Left = *left;
  RowIndex = *row;
  return true;
}

void SettingSave(host::Application& word) {
  std::shared_ptr<host::CommandBar> bar = word.CommandBars().Item(kBarName);
  if (!bar) return;
  const int position = bar->Position();
  const bool visible = bar->Visible();
  Put("Visible", BooleanText(visible));
  Put("Position", std::to_string(position));
  Put("Top", std::to_string(bar->Top()));
  Put("Left", std::to_string(bar->Left()));
  Put("RowIndex", std::to_string(bar->RowIndex()));
  bar->SetVisible(false);
  bar->SetPosition(host::msoBarFloating);
  Put("Width", std::to_string(bar->Width()));
  bar->SetPosition(position);
  bar->SetVisible(visible);
}

}  // namespace quillon::addin
