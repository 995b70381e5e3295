#include "library/LibraryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "addin/host/Platform.h"
#include "base/AtomicFile.h"
#include "base/Text.h"
#include "library/AddinState.h"
#include "library/SQLlite.h"

namespace quillon::resources {
extern const std::span<const unsigned char> kEmptyLibrary;
}

namespace quillon::library {

std::span<const unsigned char> EmptyLibraryTemplate() {
  return resources::kEmptyLibrary;
}

std::string EmptyLibraryTarget(const std::string& path) {
  if (path.find(".abb") != std::string::npos) return path;
  return TrimLeadingSpaces(path) + ".abb";
}

void extractEmptyDatabase(const std::string& path) {
  std::span<const unsigned char> bytes = EmptyLibraryTemplate();
  try {
    WriteFileAtomically(
        EmptyLibraryTarget(path),
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const FileError& e) {
    throw LibraryFileError(e.what());
  }
}

bool LibraryFileExists(const std::string& path) {
  struct stat file {};
  return ::stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode);
}

bool LibraryFileWritable(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 &&
         ::faccessat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

CreateOutcome CreateLibrary(const std::string& path) {
  // The open library is the file actually written, also for a path without the extension.
  const std::string target = EmptyLibraryTarget(path);
  State().LibraryPath = target;
  std::error_code ignored;
  if (std::filesystem::exists(target, ignored)) {
    host::MsgBoxResult answer =
        host::MsgBox("File already exist, overwrite", host::MsgBoxButtons::kYesNo,
                     host::MsgBoxIcon::kNone, State().AddinTitle);
    if (answer != host::MsgBoxResult::kYes) {
      State().LibraryPath.clear();
      return CreateOutcome::kDeclined;
    }
  }
  extractEmptyDatabase(target);
  if (!DropAbbreviationsTable() || !CreateAbbreviationsTable()) return CreateOutcome::kFailed;
  return CreateOutcome::kCreated;
}

}  // namespace quillon::library
