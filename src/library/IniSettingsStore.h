// The per-user settings store as a file that every Quillon program on this computer shares:
// an INI file in the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config),
// "<application>/<application>.conf", written the way Qt's QSettings writes its INI files, so
// that the desktop programs (which go through QSettings) and the Writer extension (which runs
// inside LibreOffice, without Qt) read each other's values.
#pragma once

#include <optional>
#include <string>

#include "addin/host/SettingsStore.h"

namespace quillon::library {

class IniSettingsStore : public host::SettingsStore {
 public:
  // Keeps its files under folder; an empty folder means the user's configuration folder.
  explicit IniSettingsStore(std::string folder = {});

  // Returns the value stored under [section] key in the application's file, or std::nullopt
  // when the file, the section or the key is missing.
  std::optional<std::string> GetSetting(const std::string& application, const std::string& section,
                                        const std::string& key) override;
  // Replaces or adds the key, keeping every other line of the file; the file (and its folder)
  // is created when missing and written atomically. Throws HostError (kErrCommandFailed)
  // naming the file when it cannot be written.
  void SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override;

  // Returns the path of the application's settings file.
  std::string FileOf(const std::string& application) const;

 private:
  std::string folder_;
};

// Returns value as QSettings writes a string into an INI file (escapes, quotes when needed).
std::string IniEscapedValue(const std::string& value);
// Returns the string an INI value stands for, as QSettings reads it; a list (unquoted commas)
// gives its items joined by ", ".
std::string IniUnescapedValue(const std::string& raw);

}  // namespace quillon::library
