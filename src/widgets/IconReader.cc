#include "widgets/IconReader.h"

#include <algorithm>
#include <cstdlib>

#include "widgets/BmpReader.h"
#include "widgets/PngReader.h"

namespace quillon::widgets {
namespace {

struct Entry {
  int32_t width = 0, height = 0;
  int32_t bitCount = 0;
  Bytes bytes;
};

// The size and depth an entry really has: from its own header, since directories often hold
// 0 for 256 pixels and 0 for the colour depth.
bool Measure(Entry& e) {
  if (IsPng(e.bytes)) {
    if (e.bytes.size() < 33) return false;
    e.width = static_cast<int32_t>(std::min<uint32_t>(Be32(&e.bytes[16]), 1u << 30));
    e.height = static_cast<int32_t>(std::min<uint32_t>(Be32(&e.bytes[20]), 1u << 30));
    e.bitCount = 32;
    return true;
  }
  if (e.bytes.size() < 40) return false;
  const int64_t width = static_cast<int32_t>(Le32(&e.bytes[4]));
  const int64_t height = static_cast<int32_t>(Le32(&e.bytes[8]));
  e.width = static_cast<int32_t>(std::min<int64_t>(std::llabs(width), 1 << 30));
  e.height = static_cast<int32_t>(std::min<int64_t>(std::llabs(height) / 2, 1 << 30));
  e.bitCount = Le16(&e.bytes[14]);
  return true;
}

}  // namespace

bool IsIcon(Bytes data) {
  if (data.size() < 6) return false;
  const uint16_t type = Le16(&data[2]);
  return Le16(&data[0]) == 0 && (type == 1 || type == 2) && Le16(&data[4]) > 0;
}

bool ReadIcon(Bytes data, int32_t wantedWidth, int32_t wantedHeight, DecodedImage& out) {
  if (!IsIcon(data)) return false;
  const bool cursor = Le16(&data[2]) == 2;
  const size_t count = Le16(&data[4]);
  if (data.size() < 6 + count * 16) return false;
  std::vector<Entry> entries;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* d = &data[6 + i * 16];
    const uint32_t size = Le32(d + 8), offset = Le32(d + 12);
    if (offset > data.size() || size > data.size() - offset || size == 0) continue;
    Entry e;
    e.bytes = data.subspan(offset, size);
    if (Measure(e)) entries.push_back(e);
  }
  // Best first: exact size, then nearest size (larger wins a tie), then more colours.
  auto distance = [&](const Entry& e) -> int64_t {
    if (wantedWidth <= 0 || wantedHeight <= 0) return -(int64_t{e.width} * e.height);
    return std::abs(int64_t{e.width} - wantedWidth) + std::abs(int64_t{e.height} - wantedHeight);
  };
  std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (distance(a) != distance(b)) return distance(a) < distance(b);
    if (int64_t{a.width} * a.height != int64_t{b.width} * b.height) {
      return int64_t{a.width} * a.height > int64_t{b.width} * b.height;
    }
    return a.bitCount > b.bitCount;
  });
  for (const Entry& e : entries) {
    bool ok = IsPng(e.bytes) ? ReadPng(e.bytes, out) : ReadIconDib(e.bytes, out);
    if (ok) {
      out.format = cursor ? ImageFormat::kCursor : ImageFormat::kIcon;
      return true;
    }
  }
  return false;
}

}  // namespace quillon::widgets
