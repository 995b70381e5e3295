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
  std::filesystem::permissions(path, std::filesystem::perms(0444));
  std::filesystem::permissions(std::filesystem::path(path).parent_path(),
                               std::filesystem::perms(0755));
}

// Makes folder open to look into but not writable by anyone but its owner.
inline void MakeFolderReadOnly(const std::string& folder) {
  std::filesystem::permissions(folder, std::filesystem::perms(0555));
}

}  // namespace quillon::testing
