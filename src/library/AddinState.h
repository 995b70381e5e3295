// The add-in's application-wide state: one plain record with one instance. Programs set it up,
// tests reset it.
#pragma once

#include <cstdint>
#include <string>

#include "library/QueryLibrary.h"

namespace quillon::host {
class SettingsStore;
}

namespace quillon::library {

inline constexpr const char* kAddinTitle = "Quillon plugin";

struct AddinState {
  std::string LibraryPath;  // the open library; empty when none is open
  std::string AddinTitle;   // title of the add-in's message boxes, set at connection
  int16_t SortColumn = 0;   // 0 none, 1 direction, 2 abbreviation, 3 meaning
  int16_t SortOrder = 0;    // 0 none, 1 ascending, 2 descending
  QueryResult LastListing;  // the last listing or position look-up
  std::string LastSelectedAbb;
  std::string LastSelectedText;
  std::string PendingAbb;
  std::string PendingText;
  std::string PendingDirection;
};

// Returns the process-wide state.
AddinState& State();

// Puts every field back to its start value.
void ResetState();

// Where the hosts (the desktop host, the library manager, the Writer extension) keep the open
// library and the last selected pair for each other: application "Quillon AddIn", section
// "Library", keys "LibraryPath", "LastSelectedAbb", "LastSelectedText".
inline constexpr const char* kSharedSettingsApplication = "Quillon AddIn";
inline constexpr const char* kSharedSettingsSection = "Library";

// Reads the shared part of the state from store; a key not stored leaves its field as it is.
void LoadSharedState(host::SettingsStore& store);
// Writes the shared part of the state to store. Throws HostError when the store cannot be
// written.
void SaveSharedState(host::SettingsStore& store);

}  // namespace quillon::library
