#include "base/FileGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace quillon {

bool FileGuard::Identity::operator==(const Identity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

FileGuard::Identity FileGuard::Of(const struct stat& file) {
  return {file.st_dev, file.st_ino, file.st_size, file.st_mtim};
}

FileGuard::FileGuard(const std::string& path, std::chrono::milliseconds wait) : path_(path) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (true) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      throw FileError("cannot read " + path + ": " + std::strerror(errno));
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      // A holder that saved meanwhile put a new file in place of the one opened here: the
      // lock has to be on the file that the path names now.
      struct stat opened {
      }, named{};
      if (::fstat(fd_, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
          opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
        identity_ = Of(opened);
        return;
      }
    } else if (errno != EWOULDBLOCK && errno != EINTR) {
      int error = errno;
      ::close(fd_);
      throw FileError("cannot lock " + path + ": " + std::strerror(error));
    }
    ::close(fd_);
    fd_ = -1;
    if (std::chrono::steady_clock::now() >= deadline) {
      throw FileError(path +
                      " is being changed by another Quillon command; nothing was done, try "
                      "again when it has finished");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

FileGuard::~FileGuard() {
  if (fd_ >= 0) ::close(fd_);  // releases the lock
}

void FileGuard::CheckUnchanged() const {
  struct stat now {};
  if (::stat(path_.c_str(), &now) != 0 || !(Of(now) == identity_)) {
    throw FileError(path_ + " was changed by another program while Quillon worked on it; " +
                    "nothing was written");
  }
}

}  // namespace quillon
