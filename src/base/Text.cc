#include "base/Text.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>

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

}  // namespace quillon
