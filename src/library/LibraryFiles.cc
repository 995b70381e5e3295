#include "library/LibraryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "addin/host/Platform.h"
#include "base/Text.h"
#include "library/AddinState.h"
#include "library/SQLlite.h"

namespace quillon::resources {
extern const std::span<const unsigned char> kEmptyLibrary;
}

namespace quillon::library {
namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw LibraryFileError("cannot write library " + path + ": " + std::strerror(error));
}

}  // namespace

std::span<const unsigned char> EmptyLibraryTemplate() {
  return resources::kEmptyLibrary;
}

std::string EmptyLibraryTarget(const std::string& path) {
  if (path.find(".abb") != std::string::npos) return path;
  return TrimLeadingSpaces(path) + ".abb";
}

void extractEmptyDatabase(const std::string& path) {
  const std::string target = EmptyLibraryTarget(path);
  // A write-protected library stays protected: replacing it by rename would bypass that.
  struct stat existing {};
  bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) Fail(target, EISDIR);
  if (exists && ::access(target.c_str(), W_OK) != 0) Fail(target, errno);

  std::string temp = target + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) Fail(target, errno);
  std::span<const unsigned char> bytes = EmptyLibraryTemplate();
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int error = n < 0 ? errno : EIO;
      ::close(fd);
      ::unlink(temp.c_str());
      Fail(target, error);
    }
    written += static_cast<size_t>(n);
  }
  // A replaced library keeps its permissions; a new one gets the user's usual ones.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, exists ? (existing.st_mode & 07777) : (0666 & ~mask));
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    Fail(target, error);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    Fail(target, error);
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
