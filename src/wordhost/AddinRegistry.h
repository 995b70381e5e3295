// The add-ins registered for wordhost: an INI file in the user's config folder, one section
// per ProgID with FriendlyName, Description, LoadBehavior and the plug-in's Path.
// Error rule: reading never fails (a missing file is an empty registry, lines that are not
// "key=value" or "[section]" are skipped); writing throws FileError.
#pragma once

#include <string>
#include <vector>

namespace quillon::wordhost {

struct RegisteredAddin {
  std::string ProgId;
  std::string FriendlyName;
  std::string Description;
  int LoadBehavior = 0;  // bit 1 (value 2): connect when the host starts
  std::string Path;      // the plug-in file
};

// Returns $XDG_CONFIG_HOME/wordhost/addins.ini ($HOME/.config when XDG_CONFIG_HOME is unset
// or empty).
std::string AddinRegistryPath();

// Returns the registered add-ins in file order.
std::vector<RegisteredAddin> ReadAddinRegistry(const std::string& path);

// Returns the registry text for addins.
std::string FormatAddinRegistry(const std::vector<RegisteredAddin>& addins);

// Adds addin to the registry at path, replacing an entry of the same ProgID; the file and its
// folder are created when missing, and written atomically. Throws FileError.
void RegisterAddin(const std::string& path, const RegisteredAddin& addin);

// Whether the host connects addin when it starts.
inline bool LoadsAtStartup(const RegisteredAddin& addin) {
  return (addin.LoadBehavior & 2) != 0;
}

}  // namespace quillon::wordhost
