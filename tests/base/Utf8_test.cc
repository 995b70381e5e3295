// UTF-8 decoding, encoding, counting and cutting, valid and invalid, always agreeing.
#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace {

struct Utf8Case {
  const char* name;
  std::string text;
  std::u32string codePoints;  // as DecodeUtf8 reads them
  size_t firstInvalid;        // FindInvalidUtf8
};

constexpr size_t kValid = std::string_view::npos;

TEST(Utf8, DecodingCountingAndCuttingAgree) {
  const Utf8Case cases[] = {
      {"empty", "", U"", kValid},
      {"ascii", "abc", U"abc", kValid},
      {"long_ascii_then_a_stray_byte", "0123456789abcdef\x80", U"0123456789abcdef\u0080", 16},
      {"stray_byte_inside_the_second_eight", "01234567ab\377cdefgh", U"01234567ab\u00FFcdefgh", 10},
      {"two_bytes", "caf\xC3\xA9", U"caf\u00E9", kValid},
      {"three_bytes", "€1", U"\u20AC1", kValid},
      {"four_bytes", "\xF0\x9F\x98\x80", U"\U0001F600", kValid},
      {"stray_continuation", "a\200b", U"a\u0080b", 1},
      {"cut_short", "ab\xE2\x82", U"ab\u00E2\u0082", 2},
      {"lead_without_continuation", "\xC3x", U"\u00C3x", 0},
      {"overlong", "\xC0\xAF", U"\u00C0\u00AF", 0},
      {"surrogate", "\xED\xA0\x80", U"\u00ED\u00A0\u0080", 0},
      {"past_the_last_code_point", "\xF4\x90\x80\x80", U"\u00F4\u0090\u0080\u0080", 0},
      {"byte_ff", "ok\xFF", U"ok\u00FF", 2}};
  for (const Utf8Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeUtf8(c.text), c.codePoints);
    EXPECT_EQ(CodePointCount(c.text), c.codePoints.size());
    EXPECT_EQ(FindInvalidUtf8(c.text), c.firstInvalid);
    // Cutting at each code point and decoding the pieces gives the code points one by one.
    for (size_t n = 0; n < c.codePoints.size(); ++n) {
      size_t from = ByteOffsetOf(c.text, n);
      size_t to = ByteOffsetOf(c.text, n + 1);
      EXPECT_EQ(DecodeUtf8(std::string_view(c.text).substr(from, to - from)),
                c.codePoints.substr(n, 1))
          << "code point " << n;
    }
    EXPECT_EQ(ByteOffsetOf(c.text, c.codePoints.size()), c.text.size());
    EXPECT_EQ(ByteOffsetOf(c.text, c.codePoints.size() + 5), c.text.size());
    if (c.firstInvalid == kValid) {
      EXPECT_EQ(EncodeUtf8(c.codePoints), c.text);
    }
  }
}

TEST(Utf8, DecodesForwardAndBack) {
  // a é € 😀, a bad byte, a sequence cut short (each of its bytes a step of its own), z
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF\xE2\x82z";
  std::vector<int32_t> decoded;
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size();) {
    starts.push_back(i);
    decoded.push_back(DecodeUtf8At(text, i));
  }
  EXPECT_EQ(decoded, (std::vector<int32_t>{'a', 0xE9, 0x20AC, 0x1F600, -1, -1, -1, 'z'}));
  for (size_t k = starts.size(); k-- > 1;) {
    size_t end = k + 1 < starts.size() ? starts[k + 1] : text.size();
    EXPECT_EQ(PreviousCodePointStart(text, end), starts[k]) << k;
  }
  EXPECT_EQ(PreviousCodePointStart(text, 0), 0u);
  EXPECT_EQ(PreviousCodePointStart("\x82z", 1), 0u);  // a stray continuation byte alone
}

}  // namespace
}  // namespace quillon
