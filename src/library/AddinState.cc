#include "library/AddinState.h"

#include <optional>

#include "addin/host/SettingsStore.h"

namespace quillon::library {

AddinState& State() {
  static AddinState state;
  return state;
}

void ResetState() {
  State() = AddinState();
}

namespace {

struct SharedField {
  const char* key;
  std::string AddinState::*field;
};

constexpr SharedField kSharedFields[] = {
    {"LibraryPath", &AddinState::LibraryPath},
    {"LastSelectedAbb", &AddinState::LastSelectedAbb},
    {"LastSelectedText", &AddinState::LastSelectedText},
};

}  // namespace

void LoadSharedState(host::SettingsStore& store) {
  for (const SharedField& shared : kSharedFields) {
    std::optional<std::string> value =
        store.GetSetting(kSharedSettingsApplication, kSharedSettingsSection, shared.key);
    if (value) State().*shared.field = *value;
  }
}

void SaveSharedState(host::SettingsStore& store) {
  for (const SharedField& shared : kSharedFields) {
    store.SaveSetting(kSharedSettingsApplication, kSharedSettingsSection, shared.key,
                      State().*shared.field);
  }
}

}  // namespace quillon::library
