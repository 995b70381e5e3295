// UTF-8 text as code points: the project's one decoder and encoder. Every routine here reads
// an invalid byte (a stray continuation byte, a sequence cut short, an overlong form, a
// surrogate, a value past U+10FFFF) as one code point of its own, the byte's value
// (U+0080..U+00FF), so that counting, cutting and decoding always agree and nothing is lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// Decodes the code point at text[i] and moves i past it. Returns -1 for an invalid byte,
// which it steps over alone. REQUIRES: i < text.size().
int32_t DecodeUtf8At(std::string_view text, size_t& i);

// Returns the byte where the code point ending just before byte i starts (0 when i is 0; an
// invalid byte counts alone, as DecodeUtf8At reads it). REQUIRES: i <= text.size().
size_t PreviousCodePointStart(std::string_view text, size_t i);

// Appends the UTF-8 form of c to out. REQUIRES: c <= U+10FFFF.
void AppendUtf8(std::string& out, char32_t c);

// Returns the code points of text.
std::u32string DecodeUtf8(std::string_view text);

// Returns the UTF-8 form of text. REQUIRES: every code point <= U+10FFFF.
std::string EncodeUtf8(std::u32string_view text);

// Returns the number of code points in text.
size_t CodePointCount(std::string_view text);

// Returns the byte offset of code point n of text (text.size() when n is past the end).
size_t ByteOffsetOf(std::string_view text, size_t n);

// Returns the byte offset of the first invalid byte of text, or std::string_view::npos when
// all of text is valid UTF-8.
size_t FindInvalidUtf8(std::string_view text);

}  // namespace quillon
