// Another process holding a library locked, for the tests of what a command does meanwhile.
#pragma once

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace quillon::testing {

// Forks a process that takes the exclusive lock of the library at path (no reader or writer
// gets in) and keeps it for holdMilliseconds. The constructor returns once the lock is held;
// the destructor waits for the process to end.
class LibraryLock {
 public:
  LibraryLock(const std::string& path, int holdMilliseconds) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    child_ = ::fork();
    if (child_ == 0) {
      ::close(ready[0]);
      sqlite3* db = nullptr;
      if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) ::_exit(2);
      if (sqlite3_exec(db, "begin exclusive", nullptr, nullptr, nullptr) != SQLITE_OK) ::_exit(3);
      if (::write(ready[1], "x", 1) != 1) ::_exit(4);
      ::usleep(static_cast<useconds_t>(holdMilliseconds) * 1000);
      sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      ::_exit(0);
    }
    ::close(ready[1]);
    char signal = 0;
    held_ = child_ > 0 && ::read(ready[0], &signal, 1) == 1;
    ::close(ready[0]);
  }
  ~LibraryLock() {
    int status = 0;
    if (child_ > 0) ::waitpid(child_, &status, 0);
  }
  LibraryLock(const LibraryLock&) = delete;
  LibraryLock& operator=(const LibraryLock&) = delete;

  // Returns true when the lock was taken.
  bool Held() const { return held_; }

 private:
  pid_t child_ = -1;
  bool held_ = false;
};

}  // namespace quillon::testing
