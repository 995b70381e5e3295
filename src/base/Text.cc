#include "base/Text.h"

#include <locale.h>
#include <wctype.h>

#include <cstdint>

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

// Decodes one code point at text[i]; on invalid UTF-8 returns -1 and consumes one byte.
int32_t DecodeAt(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int extra = 0;
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
  for (int k = 1; k <= extra; ++k) {
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

void Encode(int32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
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
    int32_t cp = DecodeAt(text, i);
    if (cp < 0) {
      out.append(text.substr(start, i - start));
    } else {
      Encode(static_cast<int32_t>(map(static_cast<wint_t>(cp))), out);
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
      int32_t pa = DecodeAt(a, i);
      int32_t pb = DecodeAt(b, j);
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

size_t CodePointCount(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++count) DecodeAt(text, i);
  return count;
}

int32_t DecodeCodePoint(std::string_view text, size_t& i) {
  return DecodeAt(text, i);
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
  if (DecodeAt(text, next) >= 0 && next == i) return start;
  return i - 1;
}

size_t FirstInvalidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    size_t at = i;
    if (DecodeAt(text, i) < 0) return at;
  }
  return text.size();
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
