// A .docx package: a zip archive of parts. Reads parts with size limits (so a zip bomb is
// refused, not inflated) and writes a new archive in which every part not replaced keeps its
// stored bytes, compressed data included.
//
// Errors: DocxError, whose message says what is wrong without naming the file (the caller,
// who knows the name the user gave, adds it).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "wordhost/docx/Deflate.h"

namespace quillon::docx {

// A part that unpacks to more than this is refused before it is unpacked. A thousand-page
// document with twenty thousand fields has a main part of 11 MiB; the model takes up to eight
// times a part's size in memory (twenty for a part that is mostly one long text), and 60 MiB
// of main part take `quillon show` 6 seconds. So reading a document takes at most about a GiB,
// while a small zip bomb (a megabyte that unpacks to hundreds) is refused at once.
inline constexpr uint64_t kMaxPartSize = 64ull << 20;
// A package file larger than this is refused before it is read.
inline constexpr uint64_t kMaxPackageSize = 1ull << 30;

class Package {
 public:
  // Returns the package held in bytes. Throws DocxError when bytes are not a zip archive.
  static Package FromBytes(std::string bytes);
  // Returns the package in the file at path. Throws DocxError when path is not a regular file,
  // cannot be read, is larger than kMaxPackageSize or is not a zip archive.
  static Package FromFile(const std::string& path);

  // Returns the bytes of a new archive holding parts (name, content) in that order, deflated.
  // Throws DocxError on failure.
  static std::string Create(const std::vector<std::pair<std::string, std::string>>& parts);

  // Returns whether the package has a part of that name ("word/document.xml").
  bool Has(const std::string& name) const;
  // Returns the names of the parts in archive order.
  const std::vector<std::string>& Names() const { return names_; }
  // Returns the uncompressed content of part name. Throws DocxError when the part is missing,
  // declares or unpacks to more than kMaxPartSize, or its data is corrupt (it unpacks to more
  // or less than it declares; unpacking stops at the first byte too many).
  std::string Read(const std::string& name) const;

  // A part unpacked but not yet compared with the CRC-32 the package declares for it.
  struct UncheckedPart {
    std::string content;
    std::optional<uint32_t> crc;  // none when unpacking has already checked it
  };
  // Returns part name as Read does, leaving the CRC-32 comparison to CheckPart so that it can
  // run beside other work (parsing the part). Throws DocxError as Read does.
  UncheckedPart ReadUnchecked(const std::string& name) const;
  // Throws DocxError (part name is damaged) when part's content does not match its CRC-32.
  static void CheckPart(const std::string& name, const UncheckedPart& part);
  // Returns the archive bytes as loaded.
  const std::string& Bytes() const { return bytes_; }

  // Returns the bytes of a new archive: the parts of replacements (name -> content deflated at
  // kDeflateLevel) replace or are added to those of this package; every other part is copied
  // as stored. An empty replacements map gives the loaded bytes unchanged. Throws DocxError on
  // failure.
  std::string Write(const std::map<std::string, DeflatedPart>& replacements) const;

 private:
  explicit Package(std::string bytes);

  std::string bytes_;
  std::vector<std::string> names_;
  std::vector<uint64_t> sizes_;  // declared uncompressed sizes, by archive index
};

}  // namespace quillon::docx
