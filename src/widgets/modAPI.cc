#include "widgets/modAPI.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "widgets/cCDECL.h"

namespace quillon::widgets {
namespace {

ZlibStatus Probe() {
  ZlibStatus status;
  status.version = zlibVersion();
  // zlib's own rule: a library of another major version is not compatible with the headers.
  if (status.version.empty() || status.version[0] != ZLIB_VERSION[0]) return status;
  cCDECL library;
  for (const char* name : {"libz.so.1", "libz.so"}) {
    if (library.DllLoad(name) && library.HasFunction("crc32")) {
      status.library = name;
      status.found = library.HasFunction("uncompress");
      status.canCompress = library.HasFunction("compress2");
      return status;
    }
  }
  // No shared zlib (a static build): the linked functions are there by construction.
  status.library = "linked";
  status.found = true;
  status.canCompress = true;
  return status;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

const ZlibStatus& FindZlib() {
  static const ZlibStatus status = Probe();
  return status;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  out.clear();
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    out.insert(out.end(), buffer, buffer + n);
  }
  if (std::ferror(file.get())) {
    error = std::strerror(errno ? errno : EIO);
    return false;
  }
  return true;
}

bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0) {
    error = std::strerror(errno ? errno : EIO);
    return false;
  }
  return true;
}

}  // namespace quillon::widgets
