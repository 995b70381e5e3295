// Keeps other Quillon processes off a file while one of them changes it, and notices changes
// that anything else makes meanwhile. Error rule: throws FileError, whose message names the
// file and says what happened.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <ctime>
#include <string>

#include "base/AtomicFile.h"

namespace quillon {

class FileGuard {
 public:
  // Takes an advisory lock on the file at path (links followed), waiting up to wait while
  // another process holds it. The lock goes with the object, or with the process should it
  // die. Throws FileError when the file cannot be opened or the wait ran out.
  FileGuard(const std::string& path, std::chrono::milliseconds wait);
  ~FileGuard();
  FileGuard(const FileGuard&) = delete;
  FileGuard& operator=(const FileGuard&) = delete;

  // Throws FileError when the file at path is no longer the one locked, or its size or time
  // of change moved since the lock was taken: something that does not take the lock wrote it.
  void CheckUnchanged() const;

 private:
  struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};
    bool operator==(const Identity& other) const;
  };
  static Identity Of(const struct stat& file);

  std::string path_;
  int fd_ = -1;
  Identity identity_;
};

}  // namespace quillon
