// Raw deflate (as a zip entry holds it) of a package part, with the part's CRC-32. Large parts
// are compressed in blocks on several threads, while the part is still being written: saving a
// long document is mostly writing out and deflating its document.xml, and one stream would use
// one core.
//
// Errors: DocxError.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quillon::docx {

// The deflate level of the parts a package writes (zlib's default).
inline constexpr int kDeflateLevel = 6;
// Parts at most this large are deflated as one stream; larger ones in blocks of this size.
inline constexpr size_t kDeflateBlock = size_t{1} << 20;

struct DeflatedPart {
  std::string data;   // raw deflate stream, no zlib or gzip header
  uint32_t crc = 0;   // CRC-32 of the uncompressed bytes
  uint64_t size = 0;  // uncompressed bytes
};

// Deflates a part handed over piece by piece as it is written: each full block is compressed
// on another thread while the next one fills, and the thread appending joins in at the end.
// The bytes do not depend on the threads or on how the part was cut into pieces: block
// boundaries are fixed, and each block after the first is primed with the 32 KiB before it, so
// the ratio stays close to that of one stream.
class PartDeflater {
 public:
  // Compresses at level on at most workers threads, the appending one included (0: one per
  // core).
  PartDeflater(int level, unsigned workers = 0);
  // Waits for the blocks in hand; the part is dropped.
  ~PartDeflater();
  PartDeflater(const PartDeflater&) = delete;
  PartDeflater& operator=(const PartDeflater&) = delete;

  // Appends bytes to the part. Throws std::bad_alloc when out of memory. REQUIRES: Finish has
  // not been called.
  void Append(std::string_view bytes);
  // Returns the whole part deflated. Throws DocxError when a block fails (zlib or memory on
  // another thread), std::bad_alloc when out of memory here. REQUIRES: called once.
  DeflatedPart Finish();

 private:
  struct Block;
  // Hands the block filled so far over for deflating; another starts unless last.
  void Submit(bool last);
  // Deflates blocks not yet taken with scratch as the zlib output buffer; with untilClosed,
  // waits for more until Close.
  void Work(bool untilClosed, std::string& scratch);
  // Deflates block with scratch as the zlib output buffer; sets its ok when that succeeds.
  void Deflate(Block& block, std::string& scratch) const;
  // Lets the threads finish the blocks they hold, and joins them.
  void Close();

  const int level_;
  unsigned threadsLeft_;  // threads that may still be started beside this one
  std::string filling_;   // the block being appended to
  std::string window_;    // the last 32 KiB before filling_, which prime its deflating
  std::string scratch_;   // this thread's zlib output buffer
  uint64_t size_ = 0;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<std::unique_ptr<Block>> blocks_;  // guarded by mutex_
  size_t next_ = 0;                             // the first block no thread has taken
  std::vector<std::string> spare_;              // inputs deflated already, for reuse
  bool closed_ = false;                         // no block will be added
  std::vector<std::thread> threads_;
};

// Returns the bytes part holds. Throws DocxError when its data is not one raw deflate stream of
// part.size bytes.
std::string InflatePart(const DeflatedPart& part);

// Returns content deflated at level, on at most workers threads (0: one per core): the bytes
// a PartDeflater gives for it. Throws DocxError when zlib fails.
DeflatedPart DeflatePart(std::string_view content, int level, unsigned workers = 0);

}  // namespace quillon::docx
