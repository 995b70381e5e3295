// Raw deflate (as a zip entry holds it) of a package part, with the part's CRC-32. Large parts
// are compressed in blocks on several threads: saving a long document is mostly deflating its
// document.xml, and one stream would use one core.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon::docx {

// Parts at most this large are deflated as one stream; larger ones in blocks of this size.
inline constexpr size_t kDeflateBlock = size_t{1} << 20;

struct DeflatedPart {
  std::string data;  // raw deflate stream, no zlib or gzip header
  uint32_t crc = 0;  // CRC-32 of the uncompressed bytes
};

// Returns content deflated at level, on at most workers threads (0: one per core). The bytes
// do not depend on workers: block boundaries are fixed, and each block after the first is
// primed with the 32 KiB before it, so the ratio stays close to that of one stream.
// Throws DocxError when zlib fails.
DeflatedPart DeflatePart(std::string_view content, int level, unsigned workers = 0);

}  // namespace quillon::docx
