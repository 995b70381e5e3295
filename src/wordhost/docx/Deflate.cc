#include "wordhost/docx/Deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "wordhost/docx/DocxError.h"

namespace quillon::docx {
namespace {

constexpr size_t kWindow = size_t{1} << 15;

struct Block {
  std::string_view input;
  std::string_view dictionary;  // the bytes before input, up to one window
  bool last = false;
  std::string output;
  uint32_t crc = 0;
  bool ok = false;
};

// Deflates one block. Blocks but the last end in a sync flush, which leaves the stream at a
// byte boundary with no final block yet: the blocks' outputs then join into one stream.
void DeflateBlock(Block& block, int level) {
  block.crc = static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(block.input.data()), block.input.size()));
  // compressBound covers a finished zlib stream, header and trailer included, which a raw one
  // lacks; a sync flush adds at most an empty stored block. Allocated first: nothing may throw
  // while zlib holds memory.
  block.output.resize(compressBound(static_cast<uLong>(block.input.size())) + 16);
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
  bool ok = true;
  if (!block.dictionary.empty()) {
    ok = deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(block.dictionary.data()),
                              static_cast<uInt>(block.dictionary.size())) == Z_OK;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.input.data()));
  stream.avail_in = static_cast<uInt>(block.input.size());
  stream.next_out = reinterpret_cast<Bytef*>(block.output.data());
  stream.avail_out = static_cast<uInt>(block.output.size());
  if (ok) {
    int status = deflate(&stream, block.last ? Z_FINISH : Z_SYNC_FLUSH);
    ok = block.last ? status == Z_STREAM_END
                    : status == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
  }
  block.output.resize(stream.total_out);
  deflateEnd(&stream);
  block.ok = ok;
}

}  // namespace

DeflatedPart DeflatePart(std::string_view content, int level, unsigned workers) {
  std::vector<Block> blocks;
  for (size_t at = 0; at == 0 || at < content.size(); at += kDeflateBlock) {
    Block block;
    block.input = content.substr(at, kDeflateBlock);
    size_t from = at > kWindow ? at - kWindow : 0;
    block.dictionary = content.substr(from, at - from);
    blocks.push_back(block);
  }
  blocks.back().last = true;

  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = static_cast<unsigned>(std::min<size_t>(workers, blocks.size()));
  std::atomic<size_t> next{0};
  // A block that fails (out of memory included) is reported below, not thrown in a thread.
  auto work = [&] {
    for (size_t i = next++; i < blocks.size(); i = next++) {
      try {
        DeflateBlock(blocks[i], level);
      } catch (const std::exception&) {
        blocks[i].ok = false;
      }
    }
  };
  std::vector<std::thread> threads;
  for (unsigned i = 1; i < workers; ++i) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no thread to spare: the threads already started and this one do it all
    }
  }
  work();
  for (std::thread& thread : threads) thread.join();

  DeflatedPart part;
  size_t total = 0;
  for (const Block& block : blocks) {
    if (!block.ok) throw DocxError("cannot compress a part");
    total += block.output.size();
  }
  part.data.reserve(total);
  for (const Block& block : blocks) {
    part.data += block.output;
    part.crc = static_cast<uint32_t>(
        crc32_combine(part.crc, block.crc, static_cast<z_off_t>(block.input.size())));
  }
  return part;
}

}  // namespace quillon::docx
