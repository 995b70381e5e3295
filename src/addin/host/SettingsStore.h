// The per-user application settings store: string values under an application name, a
// section and a key, kept from one run to the next.
#pragma once

#include <optional>
#include <string>

namespace quillon::host {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // Returns the stored value, or std::nullopt when there is none.
  virtual std::optional<std::string> GetSetting(const std::string& application,
                                                const std::string& section,
                                                const std::string& key) = 0;
  // Stores value (replacing an earlier one). Throws HostError (kErrCommandFailed) when the
  // store cannot be written.
  virtual void SaveSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace quillon::host
