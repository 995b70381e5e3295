// The file-dialog service: the platform's open and save dialogs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillon::host {

struct FileFilter {
  std::string description;  // "Abbreviation DB Files (*.abb)"
  std::string pattern;      // "*.abb"
};

struct FileDialogRequest {
  enum class Kind { kOpen, kSave };
  Kind kind = Kind::kOpen;
  std::string title;
  std::vector<FileFilter> filters;
  int selectedFilter = 0;  // 0-based index into filters
  std::string initialDirectory;
  bool confirmOverwrite = false;  // save: ask before replacing an existing file
  bool fileMustExist = false;     // open: refuse names of files that do not exist
  std::string defaultExtension;   // empty: none appended by the dialog
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Returns the chosen path, or nullopt when the user cancels (or the dialog fails).
  virtual std::optional<std::string> Choose(const FileDialogRequest& request) = 0;
};

}  // namespace quillon::host
