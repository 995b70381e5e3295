// UTF-8 helpers for story text: positions count code points, while the XML holds UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon::docx {

// Returns the number of code points in text (continuation bytes are not counted).
inline size_t CountCodePoints(std::string_view text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// Returns the byte offset of code point index n in text (text.size() when n is past the end).
inline size_t ByteOffsetOf(std::string_view text, size_t n) {
  size_t i = 0;
  for (; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (n == 0) return i;
      --n;
    }
  }
  return text.size();
}

// Returns the code points of text; an invalid byte stands for itself (as U+0080..U+00FF).
std::u32string DecodeUtf8(std::string_view text);

// Appends the UTF-8 form of c to out.
void AppendUtf8(std::string& out, char32_t c);

// Returns the UTF-8 form of text.
std::string EncodeUtf8(std::u32string_view text);

}  // namespace quillon::docx
