// The Abbreviation bar's placement, kept in the per-user settings store (application
// "Quillon AddIn", section "ToolBar") from one run of the host to the next. Every value is a
// string; numbers in decimal, booleans "-1" or "0".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon::host {
class Application;
class SettingsStore;
}  // namespace quillon::host

namespace quillon::addin {

inline constexpr const char* kSettingsApplication = "Quillon AddIn";
inline constexpr const char* kSettingsSection = "ToolBar";
inline constexpr const char* kBarName = "Abbreviation bar";

// The placement of a first connection: a visible floating bar.
struct BarPlacement {
  bool Visible = true;
  int32_t Position = 4;
  int32_t Top = 149;
  int32_t Left = 135;
  int32_t RowIndex = 2;
};

// Reads the stored placement into the five outputs. With nothing stored, writes the default
// placement and "Startup" = "1" first. Returns false (outputs untouched) when "Startup" is
// stored as 0: the caller then applies only visibility. Stored values that are missing or not
// numbers give the default placement. Throws HostError when the store cannot be written.
// REQUIRES: a settings store is installed in host::Platform().
bool SettingLoad(bool& Visible, int32_t& Position, int32_t& Top, int32_t& Left, int32_t& RowIndex);

// Stores the placement of the bar named "Abbreviation bar" in word's command bars, with its
// width measured while it floats, and leaves the bar as it found it. Stores nothing when
// there is no such bar. Throws HostError when the host or the store fails.
// REQUIRES: a settings store is installed in host::Platform().
void SettingSave(host::Application& word);

// Returns text as a signed 32-bit number (decimal, blanks around allowed), or std::nullopt.
std::optional<int32_t> ParseSettingNumber(const std::string& text);

// Returns text as a boolean: a number (non-zero is true) or "True"/"False" in any case;
// std::nullopt otherwise.
std::optional<bool> ParseSettingBoolean(const std::string& text);

}  // namespace quillon::addin
