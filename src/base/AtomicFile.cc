#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon {
namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw FileError("cannot write " + path + ": " + std::strerror(error));
}

[[noreturn]] void FailBeside(const std::string& path, int error) {
  throw FileError("cannot write " + path +
                  ": cannot create a temporary file beside it: " + std::strerror(error));
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes all of bytes to fd; returns 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    written += static_cast<size_t>(n);
  }
  return 0;
}

// Returns the whole content of fd from its start, or false.
bool ReadAll(int fd, std::string& out) {
  out.clear();
  char buffer[1 << 16];
  off_t at = 0;
  while (true) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, static_cast<size_t>(n));
    at += n;
  }
}

// Replaces the content of the file open as fd by bytes; returns 0 or an errno.
int Overwrite(int fd, std::string_view bytes) {
  if (::lseek(fd, 0, SEEK_SET) < 0) return errno;
  if (int error = WriteAll(fd, bytes)) return error;
  if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
  return ::fsync(fd) == 0 ? 0 : errno;
}

void RewriteInPlace(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) Fail(path, errno);
  std::string old;
  if (!ReadAll(fd, old)) {
    int error = errno;
    ::close(fd);
    Fail(path, error);
  }
  int error = Overwrite(fd, bytes);
  if (error != 0) Overwrite(fd, old);  // best effort: the old content back in place
  ::close(fd);
  if (error != 0) Fail(path, error);
}

// Gives the new file the target's owner, group and mode (or the usual mode of a new file).
void TakeOverAttributes(int fd, const struct stat* existing) {
  if (existing == nullptr) {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return;
  }
  // Only root may give a file away; a member of the target's group may still keep the group.
  if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
    [[maybe_unused]] int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing->st_gid);
  }
  // After the owner: changing it may clear the set-id bits.
  ::fchmod(fd, existing->st_mode & 07777);
}

}  // namespace

std::string FinalTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat link {};
    if (::lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return current;
    std::string target(static_cast<size_t>(link.st_size > 0 ? link.st_size : 4096), '\0');
    ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0) Fail(path, errno);
    target.resize(static_cast<size_t>(n));
    if (target.empty() || target[0] != '/') {
      std::string folder = Folder(current);
      target = (folder == "/" ? "" : folder) + "/" + target;
    }
    current = std::move(target);
  }
  Fail(path, ELOOP);
}

namespace {

// CheckReplaceable on the final target; returns whether it exists, with its attributes.
bool CheckTarget(const std::string& path, const std::string& target, struct stat& existing) {
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) Fail(path, EISDIR);
  if (exists && !S_ISREG(existing.st_mode)) {
    throw FileError("cannot write " + path + ": not a regular file");
  }
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    if (errno == EACCES || errno == EROFS) {
      throw FileError("cannot write " + path + ": the file is write-protected");
    }
    Fail(path, errno);
  }
  return exists;
}

}  // namespace

void CheckReplaceable(const std::string& path) {
  const std::string target = FinalTarget(path);
  struct stat existing {};
  const bool exists = CheckTarget(path, target, existing);
  // Only a target with other hard links is written without a temporary file beside it.
  if (exists && existing.st_nlink > 1) return;
  if (::faccessat(AT_FDCWD, Folder(target).c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    FailBeside(path, errno);
  }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = FinalTarget(path);
  struct stat existing {};
  const bool exists = CheckTarget(path, target, existing);
  if (exists && existing.st_nlink > 1) {
    RewriteInPlace(target, bytes);
    return;
  }

  std::string temp = target + ".tmp-XXXXXX";
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) FailBeside(path, errno);
  int error = WriteAll(fd, bytes);
  if (error == 0) {
    TakeOverAttributes(fd, exists ? &existing : nullptr);
    if (::fsync(fd) != 0) error = errno;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    Fail(path, error);
  }
  // The rename itself reaches the disk with the folder.
  int folder = ::open(Folder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace quillon
