#include "widgets/GifReader.h"

#include <array>
#include <cctype>
#include <cstring>

namespace quillon::widgets {
namespace {

constexpr uint64_t kMaxIndexesPerByte = 4096;

// Decodes LZW codes into colour indexes; stops at the end code, at the end of the data, or
// when out is full. Returns false on a code that cannot occur in valid data.
bool DecodeLzw(const std::vector<uint8_t>& data, int minCodeSize, std::vector<uint8_t>& out,
               size_t& produced) {
  constexpr int kMaxCodes = 4096;
  std::array<uint16_t, kMaxCodes> prefix{};
  std::array<uint8_t, kMaxCodes> suffix{};
  std::array<uint8_t, kMaxCodes> first{};  // first index of each code's string
  std::array<uint8_t, kMaxCodes + 1> stack{};
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  for (int i = 0; i < clear; ++i) {
    suffix[i] = static_cast<uint8_t>(i);
    first[i] = static_cast<uint8_t>(i);
  }
  int codeSize = minCodeSize + 1;
  int next = clear + 2;
  int previous = -1;
  uint32_t bits = 0;
  int bitCount = 0;
  size_t pos = 0;
  produced = 0;
  while (produced < out.size()) {
    while (bitCount < codeSize) {
      if (pos >= data.size()) return true;  // data ended early
      bits |= static_cast<uint32_t>(data[pos++]) << bitCount;
      bitCount += 8;
    }
    int code = static_cast<int>(bits & ((1u << codeSize) - 1));
    bits >>= codeSize;
    bitCount -= codeSize;
    if (code == clear) {
      codeSize = minCodeSize + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) return true;
    if (previous < 0) {
      if (code >= clear) return false;
      out[produced++] = static_cast<uint8_t>(code);
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kMaxCodes)) return false;
    // The string of code (or, for the code about to be defined, of previous plus its own
    // first index), pushed in reverse.
    int depth = 0;
    int walk = code;
    if (code == next) {
      stack[depth++] = first[previous];
      walk = previous;
    }
    while (walk >= clear) {
      stack[depth++] = suffix[walk];
      walk = prefix[walk];
    }
    stack[depth++] = static_cast<uint8_t>(walk);
    const uint8_t head = static_cast<uint8_t>(walk);
    while (depth > 0 && produced < out.size()) out[produced++] = stack[--depth];
    if (next < kMaxCodes) {
      prefix[next] = static_cast<uint16_t>(previous);
      suffix[next] = head;
      first[next] = first[previous];
      ++next;
      // Once the table is full the code size stays at 12 until the next clear code.
      if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    previous = code;
  }
  return true;
}

}  // namespace

bool IsGif(Bytes data) {
  if (data.size() < 6) return false;
  char head[7] = {};
  for (int i = 0; i < 6; ++i) {
    head[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(data[i])));
  }
  return std::strcmp(head, "gif89a") == 0 || std::strcmp(head, "gif87a") == 0;
}

bool ReadGif(Bytes data, DecodedImage& out) {
  if (!IsGif(data) || data.size() < 13) return false;
  int32_t screenWidth = Le16(&data[6]);
  int32_t screenHeight = Le16(&data[8]);
  const uint8_t screenFlags = data[10];
  size_t pos = 13;
  std::array<uint8_t, 256 * 3> globalTable{};
  int globalSize = 0;
  if (screenFlags & 0x80) {
    globalSize = 2 << (screenFlags & 7);
    if (data.size() - pos < static_cast<size_t>(globalSize) * 3) return false;
    std::memcpy(globalTable.data(), &data[pos], static_cast<size_t>(globalSize) * 3);
    pos += static_cast<size_t>(globalSize) * 3;
  }

  int transparent = -1;
  // Skips the data sub-blocks starting at pos; false when they run past the end.
  auto skipBlocks = [&]() {
    while (pos < data.size()) {
      uint8_t n = data[pos++];
      if (n == 0) return true;
      if (data.size() - pos < n) return false;
      pos += n;
    }
    return false;
  };

  while (pos < data.size()) {
    const uint8_t introducer = data[pos++];
    if (introducer == 0x3B) return false;  // the trailer before any frame
    if (introducer == 0x21) {
      if (pos >= data.size()) return false;
      const uint8_t label = data[pos++];
      if (label == 0xF9 && pos + 5 < data.size() && data[pos] >= 4) {
        transparent = (data[pos + 1] & 1) ? data[pos + 4] : -1;
      }
      if (!skipBlocks()) return false;
      continue;
    }
    if (introducer != 0x2C) return false;

    // The first frame.
    if (data.size() - pos < 9) return false;
    const int32_t left = Le16(&data[pos]);
    const int32_t top = Le16(&data[pos + 2]);
    const int32_t width = Le16(&data[pos + 4]);
    const int32_t height = Le16(&data[pos + 6]);
    const uint8_t flags = data[pos + 8];
    pos += 9;
    const uint8_t* table = globalTable.data();
    int tableSize = globalSize;
    std::array<uint8_t, 256 * 3> localTable{};
    if (flags & 0x80) {
      tableSize = 2 << (flags & 7);
      if (data.size() - pos < static_cast<size_t>(tableSize) * 3) return false;
      std::memcpy(localTable.data(), &data[pos], static_cast<size_t>(tableSize) * 3);
      table = localTable.data();
      pos += static_cast<size_t>(tableSize) * 3;
    }
    if (pos >= data.size()) return false;
    const int minCodeSize = data[pos++];
    if (minCodeSize < 1 || minCodeSize > 11) return false;
    if (!SaneImageSize(width, height)) return false;
    if (screenWidth == 0 || screenHeight == 0) {
      // Some writers leave the screen empty: the frame is the picture.
      screenWidth = left + width;
      screenHeight = top + height;
    }
    if (!SaneImageSize(screenWidth, screenHeight)) return false;
    // The screen is the canvas every frame is drawn on. A real file's frames carry data in
    // proportion to it; a few bytes claiming a huge screen would only make us allocate.
    if (static_cast<uint64_t>(screenWidth) * screenHeight >
        (data.size() + 1) * kMaxIndexesPerByte) {
      return false;
    }

    std::vector<uint8_t> compressed;
    while (pos < data.size()) {
      uint8_t n = data[pos++];
      if (n == 0) break;
      size_t take = std::min<size_t>(n, data.size() - pos);
      compressed.insert(compressed.end(), &data[pos], &data[pos] + take);
      pos += take;
    }
    // LZW yields at most a few thousand indexes a byte; a frame larger than its data can
    // describe is refused before anything is allocated for it.
    if (static_cast<uint64_t>(width) * height > (compressed.size() + 1) * kMaxIndexesPerByte) {
      return false;
    }
    std::vector<uint8_t> indexes(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    size_t produced = 0;
    if (!DecodeLzw(compressed, minCodeSize, indexes, produced) || produced == 0) return false;

    AllocateImage(out, screenWidth, screenHeight);
    out.format = ImageFormat::kGif;
    out.premultiplied = false;
    const bool interlaced = (flags & 0x40) != 0;
    // Interlaced frames store rows 0, 8, 16...; then 4, 12...; then 2, 6...; then 1, 3...
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    int passIndex = 0;
    int32_t frameRow = 0;
    bool covered = left == 0 && top == 0 && width == screenWidth && height == screenHeight;
    bool anyTransparent = !covered;
    for (int32_t stored = 0; stored < height; ++stored) {
      int32_t y = stored;
      if (interlaced) {
        while (passIndex < 4 && frameRow >= height) {
          ++passIndex;
          frameRow = passIndex < 4 ? kStart[passIndex] : height;
        }
        y = frameRow;
        frameRow += kStep[passIndex];
      }
      const int32_t canvasY = top + y;
      if (canvasY >= screenHeight) continue;
      for (int32_t x = 0; x < width; ++x) {
        const int32_t canvasX = left + x;
        if (canvasX >= screenWidth) break;
        const size_t i = static_cast<size_t>(stored) * static_cast<size_t>(width) + x;
        uint8_t* px = &out.pixels[(static_cast<size_t>(canvasY) * static_cast<size_t>(screenWidth) +
                                   static_cast<size_t>(canvasX)) *
                                  4];
        const int index = indexes[i];
        if (index == transparent) {
          anyTransparent = true;
          continue;  // stays transparent black
        }
        if (index < tableSize) {
          px[0] = table[index * 3 + 2];
          px[1] = table[index * 3 + 1];
          px[2] = table[index * 3];
        }
        px[3] = 255;
      }
    }
    out.hasAlpha = anyTransparent;
    return true;
  }
  return false;
}

}  // namespace quillon::widgets
