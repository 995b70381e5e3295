#include "wordhost/AddinRegistry.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/Text.h"

namespace quillon::wordhost {

std::string AddinRegistryPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path base;
  if (xdg != nullptr && *xdg != '\0') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr ? home : ".") / ".config";
  }
  return (base / "wordhost" / "addins.ini").string();
}

std::vector<RegisteredAddin> ReadAddinRegistry(const std::string& path) {
  std::vector<RegisteredAddin> addins;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = TrimSpaces(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (trimmed.front() == '[' && trimmed.back() == ']') {
      addins.push_back({});
      addins.back().ProgId = trimmed.substr(1, trimmed.size() - 2);
      continue;
    }
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos || addins.empty()) continue;
    const std::string key = TrimSpaces(trimmed.substr(0, equals));
    const std::string value = TrimSpaces(trimmed.substr(equals + 1));
    RegisteredAddin& addin = addins.back();
    if (key == "FriendlyName") {
      addin.FriendlyName = value;
    } else if (key == "Description") {
      addin.Description = value;
    } else if (key == "Path") {
      addin.Path = value;
    } else if (key == "LoadBehavior") {
      int number = 0;
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      addin.LoadBehavior = error == std::errc() && end == value.data() + value.size() ? number : 0;
    }
  }
  return addins;
}

std::string FormatAddinRegistry(const std::vector<RegisteredAddin>& addins) {
  std::ostringstream out;
  for (const RegisteredAddin& addin : addins) {
    out << '[' << addin.ProgId << "]\n"
        << "FriendlyName=" << addin.FriendlyName << '\n'
        << "Description=" << addin.Description << '\n'
        << "LoadBehavior=" << addin.LoadBehavior << '\n'
        << "Path=" << addin.Path << "\n\n";
  }
  return out.str();
}

void RegisterAddin(const std::string& path, const RegisteredAddin& addin) {
  std::vector<RegisteredAddin> addins = ReadAddinRegistry(path);
  bool replaced = false;
  for (RegisteredAddin& known : addins) {
    if (known.ProgId == addin.ProgId) {
      known = addin;
      replaced = true;
    }
  }
  if (!replaced) addins.push_back(addin);
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (error) throw FileError(path + ": cannot create its folder: " + error.message());
  WriteFileAtomically(path, FormatAddinRegistry(addins));
}

}  // namespace quillon::wordhost
