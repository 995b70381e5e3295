#include "wordhost/docx/Deflate.h"

#include <zlib.h>

#include <algorithm>
#include <exception>
#include <system_error>

#include "wordhost/docx/DocxError.h"

namespace quillon::docx {
namespace {

constexpr size_t kWindow = size_t{1} << 15;
// compressBound covers a finished zlib stream, header and trailer included, which a raw one
// lacks; a sync flush adds at most an empty stored block.
const size_t kScratchSize = compressBound(static_cast<uLong>(kDeflateBlock)) + 16;

}  // namespace

struct PartDeflater::Block {
  std::string input;
  std::string dictionary;  // the bytes before input, up to one window
  size_t inputSize = 0;
  bool last = false;
  std::string output;
  uint32_t crc = 0;
  bool ok = false;
};

// Blocks but the last end in a sync flush, which leaves the stream at a byte boundary with no
// final block yet: the blocks' outputs then join into one stream.
void PartDeflater::Deflate(Block& block, std::string& scratch) const {
  block.crc = static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(block.input.data()), block.input.size()));
  // Sized first: nothing may throw while zlib holds memory.
  if (scratch.size() < kScratchSize) scratch.resize(kScratchSize);
  z_stream stream{};
  if (deflateInit2(&stream, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return;
  bool ok = true;
  if (!block.dictionary.empty()) {
    ok = deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(block.dictionary.data()),
                              static_cast<uInt>(block.dictionary.size())) == Z_OK;
  }
  stream.next_in = reinterpret_cast<Bytef*>(block.input.data());
  stream.avail_in = static_cast<uInt>(block.input.size());
  stream.next_out = reinterpret_cast<Bytef*>(scratch.data());
  stream.avail_out = static_cast<uInt>(scratch.size());
  if (ok) {
    int status = deflate(&stream, block.last ? Z_FINISH : Z_SYNC_FLUSH);
    ok = block.last ? status == Z_STREAM_END
                    : status == Z_OK && stream.avail_in == 0 && stream.avail_out > 0;
  }
  const size_t written = stream.total_out;
  deflateEnd(&stream);
  if (!ok) return;
  block.output.assign(scratch.data(), written);
  block.ok = true;
}

PartDeflater::PartDeflater(int level, unsigned workers) : level_(level) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  threadsLeft_ = workers - 1;
}

PartDeflater::~PartDeflater() {
  {
    // Abandoned: the blocks not taken yet are left undone.
    std::lock_guard<std::mutex> lock(mutex_);
    next_ = blocks_.size();
  }
  Close();
}

void PartDeflater::Append(std::string_view bytes) {
  size_ += bytes.size();
  while (!bytes.empty()) {
    // A full block waits for the next byte: until then it may be the last one.
    if (filling_.size() == kDeflateBlock) Submit(false);
    size_t take = std::min(bytes.size(), kDeflateBlock - filling_.size());
    filling_.append(bytes.data(), take);
    bytes.remove_prefix(take);
  }
}

DeflatedPart PartDeflater::Finish() {
  Submit(true);
  Work(false, scratch_);
  Close();
  DeflatedPart part;
  part.size = size_;
  size_t total = 0;
  for (const auto& block : blocks_) {
    if (!block->ok) throw DocxError("cannot compress a part");
    total += block->output.size();
  }
  part.data.reserve(total);
  for (const auto& block : blocks_) {
    part.data += block->output;
    part.crc = static_cast<uint32_t>(
        crc32_combine(part.crc, block->crc, static_cast<z_off_t>(block->inputSize)));
  }
  return part;
}

void PartDeflater::Submit(bool last) {
  auto block = std::make_unique<Block>();
  block->inputSize = filling_.size();
  block->last = last;
  block->dictionary = std::move(window_);
  if (!last) window_.assign(filling_, filling_.size() - std::min(kWindow, filling_.size()));
  block->input = std::move(filling_);
  filling_ = std::string();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    blocks_.push_back(std::move(block));
    if (!last && !spare_.empty()) {
      filling_ = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  ready_.notify_one();
  if (last) return;
  filling_.clear();
  filling_.reserve(kDeflateBlock);
  if (threadsLeft_ > 0) {
    try {
      threads_.emplace_back([this] {
        std::string scratch;
        Work(true, scratch);
      });
      --threadsLeft_;
    } catch (const std::system_error&) {
      threadsLeft_ = 0;  // no thread to spare: the ones started and this one do it all
    }
  }
  // Alone, this thread deflates each block as it fills, so that only one is held at a time.
  if (threads_.empty()) Work(false, scratch_);
}

void PartDeflater::Work(bool untilClosed, std::string& scratch) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (untilClosed) ready_.wait(lock, [this] { return next_ < blocks_.size() || closed_; });
    if (next_ == blocks_.size()) return;
    Block& block = *blocks_[next_++];
    lock.unlock();
    // A block that fails (out of memory included) is reported by Finish, not thrown here.
    try {
      Deflate(block, scratch);
    } catch (const std::exception&) {
      block.ok = false;
    }
    std::string().swap(block.dictionary);
    lock.lock();
    if (block.input.capacity() >= kDeflateBlock) {
      spare_.push_back(std::move(block.input));
    } else {
      std::string().swap(block.input);
    }
  }
}

void PartDeflater::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
  }
  ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

std::string InflatePart(const DeflatedPart& part) {
  std::string out(static_cast<size_t>(part.size) + 1, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw DocxError("cannot unpack a part");
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.data.data()));
  stream.avail_in = static_cast<uInt>(part.data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = inflate(&stream, Z_FINISH);
  const bool whole =
      status == Z_STREAM_END && stream.avail_in == 0 && stream.total_out == part.size;
  inflateEnd(&stream);
  if (!whole) throw DocxError("a compressed part is damaged");
  out.resize(static_cast<size_t>(part.size));
  return out;
}

DeflatedPart DeflatePart(std::string_view content, int level, unsigned workers) {
  PartDeflater deflater(level, workers);
  deflater.Append(content);
  return deflater.Finish();
}

}  // namespace quillon::docx
