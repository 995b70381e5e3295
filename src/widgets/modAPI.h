// Platform helpers of the image class: whether zlib's functions are there, and whole-file
// reads and writes of byte arrays.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon::widgets {

struct ZlibStatus {
  // crc32 and uncompress are there: PNG pictures can be read.
  bool found = false;
  // compress2 is there too: PNG pictures can be saved.
  bool canCompress = false;
  // The version the zlib in use reports.
  std::string version;
  // Where the functions were found: a shared library's name, or "linked" when only the zlib
  // linked into the program was checked.
  std::string library;
};

// Checks zlib once per process. zlib is linked, so this checks that the zlib in use matches the
// headers it was built with (same major version) and that the shared zlib ("libz.so.1", then
// "libz.so") exports crc32 (required), uncompress and compress2. Returns the cached result.
const ZlibStatus& FindZlib();

// Reads the whole file at path into out. Returns false and sets error to the system's
// description when the file cannot be read.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& error);

// Creates or replaces the file at path with bytes. Returns false and sets error to the
// system's description on failure.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

}  // namespace quillon::widgets
