#include "base/Utf8.h"

#include <cstdint>
#include <cstring>

namespace quillon {

int32_t DecodeUtf8At(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  size_t extra = 0;
  int32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    ++i;
    return -1;
  }
  if (i + extra >= text.size()) {
    ++i;
    return -1;
  }
  for (size_t k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr int32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return -1;
  }
  i += extra + 1;
  return cp;
}

size_t PreviousCodePointStart(std::string_view text, size_t i) {
  if (i == 0) return 0;
  size_t start = i - 1;
  // Back over at most three continuation bytes to a lead byte that decodes up to i.
  for (size_t back = 0;
       back < 3 && start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80; ++back) {
    --start;
  }
  size_t next = start;
  if (DecodeUtf8At(text, next) >= 0 && next == i) return start;
  return i - 1;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    int32_t cp = DecodeUtf8At(text, i);
    out.push_back(cp < 0 ? static_cast<unsigned char>(text[start]) : static_cast<char32_t>(cp));
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

size_t CodePointCount(std::string_view text) {
  // Most text is ASCII: count it a byte at a time, and decode only from the first other byte.
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  size_t count = i;
  for (; i < text.size(); ++count) DecodeUtf8At(text, i);
  return count;
}

size_t ByteOffsetOf(std::string_view text, size_t n) {
  size_t i = 0;
  for (; i < text.size() && n > 0; --n) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
    } else {
      DecodeUtf8At(text, i);
    }
  }
  return i;
}

size_t FindInvalidUtf8(std::string_view text) {
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  for (size_t i = 0; i < text.size();) {
    // Whole parts are checked on every load: eight ASCII bytes at a time is most of the text.
    uint64_t eight;
    if (i + sizeof eight <= text.size() &&
        (std::memcpy(&eight, text.data() + i, sizeof eight), (eight & kHighBits) == 0)) {
      i += sizeof eight;
      continue;
    }
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    size_t start = i;
    if (DecodeUtf8At(text, i) < 0) return start;
  }
  return std::string_view::npos;
}

}  // namespace quillon
