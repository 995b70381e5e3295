// Makes write protection bite in tests that run as root (as CI does): while a
// ScopedUnprivileged lives, file access is checked as the user "nobody".
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quillon::testing {

class ScopedUnprivileged {
 public:
  ScopedUnprivileged() : wasRoot_(::geteuid() == 0) {
    if (wasRoot_ && ::seteuid(65534) != 0) wasRoot_ = false;
  }
  ~ScopedUnprivileged() {
    if (wasRoot_ && ::seteuid(0) != 0) std::abort();
  }
  ScopedUnprivileged(const ScopedUnprivileged&) = delete;
  ScopedUnprivileged& operator=(const ScopedUnprivileged&) = delete;

 private:
  bool wasRoot_;
};

// Makes path read-only for everyone and its folder open to look into but not to write.
inline void MakeReadOnly(const std::string& path) {
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(fs::path(path).parent_path(), fs::perms::owner_all | fs::perms::group_read |
                                                    fs::perms::group_exec | fs::perms::others_read |
                                                    fs::perms::others_exec);
}

// Makes folder open to look into but not writable by anyone but its owner.
inline void MakeFolderReadOnly(const std::string& folder) {
  namespace fs = std::filesystem;
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
}

}  // namespace quillon::testing
