#include "base/Text.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/Utf8.h"

namespace quillon {
namespace {

// A fixed UTF-8 C locale for case mapping, so results never depend on the user's locale.
locale_t CaseLocale() {
  static locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) l = newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    return l;
  }();
  return locale;
}

template <typename Map>
std::string MapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {  // ASCII fast path
      out += static_cast<char>(map(c));
      ++i;
      continue;
    }
    size_t start = i;
    int32_t cp = DecodeUtf8At(text, i);
    if (cp < 0) {
      out.append(text.substr(start, i - start));
    } else {
      AppendUtf8(out, static_cast<char32_t>(map(static_cast<wint_t>(cp))));
    }
  }
  return out;
}

struct CodePointRange {
  int32_t first, last;
};

// Code points that take no column of their own: combining marks of the scripts users write
// meanings in, zero-width spaces and joiners, direction marks, variation selectors.
constexpr CodePointRange kZeroWidth[] = {
    {0x0300, 0x036F},   {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5},   {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x061C, 0x061C}, {0x064B, 0x065F},
    {0x0670, 0x0670},   {0x06D6, 0x06DC}, {0x06DF, 0x06E4}, {0x06E7, 0x06E8}, {0x06EA, 0x06ED},
    {0x0711, 0x0711},   {0x0730, 0x074A}, {0x0900, 0x0902}, {0x093A, 0x093A}, {0x093C, 0x093C},
    {0x0941, 0x0948},   {0x094D, 0x094D}, {0x0951, 0x0957}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A},
    {0x0E47, 0x0E4E},   {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200B, 0x200F}, {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x20D0, 0x20FF}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF},
    {0xE0100, 0xE01EF},
};

// Code points shown two columns wide: the East Asian wide and full-width ranges and the
// emoji presented as pictures.
constexpr CodePointRange kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202}, {0x1F210, 0x1F23B},
    {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC},
    {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945},
    {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

template <size_t N>
bool InRanges(const CodePointRange (&ranges)[N], int32_t cp) {
  const CodePointRange* after = std::upper_bound(
      ranges, ranges + N, cp, [](int32_t c, const CodePointRange& r) { return c < r.first; });
  return after != ranges && cp <= (after - 1)->last;
}

wint_t Upper(wint_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  return towupper_l(c, CaseLocale());
}

wint_t Lower(wint_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  return towlower_l(c, CaseLocale());
}

}  // namespace

std::string TrimSpaces(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

std::string TrimLeadingSpaces(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  return begin == std::string_view::npos ? std::string() : std::string(text.substr(begin));
}

std::string UpperCase(std::string_view text) {
  return MapCase(text, Upper);
}

std::string LowerCase(std::string_view text) {
  return MapCase(text, Lower);
}

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[j]);
    int64_t x, y;
    if (ca < 0x80 && cb < 0x80) {  // ASCII fast path
      x = Lower(ca);
      y = Lower(cb);
      ++i;
      ++j;
    } else {
      int32_t pa = DecodeUtf8At(a, i);
      int32_t pb = DecodeUtf8At(b, j);
      // Invalid bytes sort by their byte value above every code point.
      x = pa < 0 ? 0x110000 + ca : static_cast<int64_t>(Lower(static_cast<wint_t>(pa)));
      y = pb < 0 ? 0x110000 + cb : static_cast<int64_t>(Lower(static_cast<wint_t>(pb)));
    }
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

size_t DisplayWidth(std::string_view text) {
  size_t width = 0;
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {  // ASCII fast path
      ++width;
      ++i;
      continue;
    }
    int32_t cp = DecodeUtf8At(text, i);
    if (cp < 0) {
      ++width;
    } else if (InRanges(kWide, cp)) {
      width += 2;
    } else if (!InRanges(kZeroWidth, cp)) {
      ++width;
    }
  }
  return width;
}

size_t FindIgnoringAsciiCase(std::string_view haystack, std::string_view needle) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  size_t from = 0;
  while (from < haystack.size() && needle.size() <= haystack.size() - from) {
    const void* hit = std::memchr(haystack.data() + from, needle[0], haystack.size() - from);
    if (hit == nullptr) break;
    size_t i = static_cast<size_t>(static_cast<const char*>(hit) - haystack.data());
    if (needle.size() > haystack.size() - i) break;
    size_t k = 1;
    while (k < needle.size() && lower(haystack[i + k]) == lower(needle[k])) ++k;
    if (k == needle.size()) return i;
    from = i + 1;
  }
  return std::string_view::npos;
}

bool IsLetterOrDigit(int32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return c <= 0x10FFFF && iswalnum_l(static_cast<wint_t>(c), CaseLocale()) != 0;
}

bool IsCapitalLetter(int32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z';
  return c <= 0x10FFFF && iswupper_l(static_cast<wint_t>(c), CaseLocale()) != 0;
}

}  // namespace quillon
