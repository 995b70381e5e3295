// A .docx package: a zip archive of parts. Reads parts with size limits (so a zip bomb is
// refused, not inflated) and writes a new archive in which every part not replaced keeps its
// stored bytes, compressed data included.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon::docx {

// A part's uncompressed size above this is refused as a zip bomb.
inline constexpr uint64_t kMaxPartSize = 256ull << 20;
// The deflate level of the parts this package writes (zlib's default).
inline constexpr int kDeflateLevel = 6;
// A package file larger than this is refused before it is read.
inline constexpr uint64_t kMaxPackageSize = 1ull << 30;

class Package {
 public:
  // Returns the package held in bytes. Throws DocxError when bytes are not a zip archive.
  static Package FromBytes(std::string bytes);
  // Returns the package in the file at path. Throws DocxError when the file cannot be read or
  // is not a zip archive.
  static Package FromFile(const std::string& path);

  // Returns the bytes of a new archive holding parts (name, content) in that order, deflated.
  // Throws DocxError on failure.
  static std::string Create(const std::vector<std::pair<std::string, std::string>>& parts);

  // Returns whether the package has a part of that name ("word/document.xml").
  bool Has(const std::string& name) const;
  // Returns the names of the parts in archive order.
  const std::vector<std::string>& Names() const { return names_; }
  // Returns the uncompressed content of part name. Throws DocxError when the part is missing,
  // larger than kMaxPartSize, or its data is corrupt.
  std::string Read(const std::string& name) const;
  // Returns the archive bytes as loaded.
  const std::string& Bytes() const { return bytes_; }

  // Returns the bytes of a new archive: the parts of replacements (name -> content) replace
  // or are added to those of this package, deflated; every other part is copied as stored.
  // An empty replacements map gives the loaded bytes unchanged. Throws DocxError on failure.
  std::string Write(const std::map<std::string, std::string>& replacements) const;

 private:
  explicit Package(std::string bytes);

  std::string bytes_;
  std::vector<std::string> names_;
  std::vector<uint64_t> sizes_;  // declared uncompressed sizes, by archive index
};

}  // namespace quillon::docx
