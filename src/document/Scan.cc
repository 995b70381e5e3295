#include "document/Scan.h"

#include <algorithm>
#include <array>
#include <future>
#include <map>
#include <memory>
#include <set>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "addin/host/Application.h"
#include "base/AhoCorasick.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "document/AbbreviationTable.h"
#include "library/EntryTransfer.h"

namespace quillon::document {
namespace {

constexpr int32_t kFieldBegin = 0x13;
constexpr int32_t kFieldSeparator = 0x14;
constexpr int32_t kFieldEnd = 0x15;
constexpr size_t kContextLength = 30;  // code points on each side

// Returns the code point at byte i, or -1 at the end or on a byte that is not UTF-8.
int32_t CodeAt(std::string_view text, size_t i) {
  if (i >= text.size()) return -1;
  return DecodeUtf8At(text, i);
}

// Returns the byte just after the code point at byte i.
size_t After(std::string_view text, size_t i) {
  DecodeUtf8At(text, i);
  return i;
}

// Returns the code point that ends just before byte i, or -1 at the start.
int32_t CodeBefore(std::string_view text, size_t i) {
  if (i == 0) return -1;
  return CodeAt(text, PreviousCodePointStart(text, i));
}

bool IsWordCode(int32_t c) {
  return c == '_' || (c > 0 && IsLetterOrDigit(c));
}

bool EndsParagraph(int32_t c) {
  return c == '\r' || c == '\a';
}

// Byte ranges that the scan leaves alone, sorted and merged once all are in.
class Zones {
 public:
  void Add(size_t begin, size_t end) {
    if (begin < end) zones_.push_back({begin, end});
  }
  void Finish() {
    std::sort(zones_.begin(), zones_.end());
    std::vector<std::pair<size_t, size_t>> merged;
    for (const auto& zone : zones_) {
      if (!merged.empty() && zone.first <= merged.back().second) {
        merged.back().second = std::max(merged.back().second, zone.second);
      } else {
        merged.push_back(zone);
      }
    }
    zones_ = std::move(merged);
  }
  // Returns whether [begin, end) touches a zone. REQUIRES: Finish was called.
  bool Overlaps(size_t begin, size_t end) const {
    auto it = std::upper_bound(zones_.begin(), zones_.end(), begin,
                               [](size_t b, const auto& zone) { return b < zone.second; });
    return it != zones_.end() && it->first < end;
  }

 private:
  std::vector<std::pair<size_t, size_t>> zones_;
};

// Story positions of the scanned text's bytes (one position per code point), read front to
// back: each call asks for a byte at or after the one before.
class PositionCursor {
 public:
  explicit PositionCursor(std::string_view text, long base) : text_(text), position_(base) {}
  long PositionOf(size_t byte) {
    for (; byte_ < byte && byte_ < text_.size(); ++byte_) {
      position_ += (static_cast<unsigned char>(text_[byte_]) & 0xC0) != 0x80;
    }
    return position_;
  }
  size_t ByteOf(long position) {
    while (byte_ < text_.size() && position_ < position) {
      ++byte_;
      while (byte_ < text_.size() && (static_cast<unsigned char>(text_[byte_]) & 0xC0) == 0x80) {
        ++byte_;
      }
      ++position_;
    }
    return byte_;
  }

 private:
  std::string_view text_;
  size_t byte_ = 0;
  long position_;
};

// Every field, from its begin mark through its end mark, nested ones inside the outer.
void AddFieldZones(std::string_view text, Zones& zones) {
  // Between fields the next begin mark is looked for at memchr's pace.
  for (size_t begin = text.find(static_cast<char>(kFieldBegin)); begin != std::string_view::npos;
       begin = text.find(static_cast<char>(kFieldBegin), begin)) {
    int depth = 0;
    size_t i = begin;
    for (; i < text.size(); ++i) {
      if (text[i] == kFieldBegin) {
        ++depth;
      } else if (text[i] == kFieldEnd && --depth == 0) {
        break;
      }
    }
    if (i == text.size()) {
      zones.Add(begin, text.size());
      return;
    }
    zones.Add(begin, i + 1);
    begin = i + 1;
  }
}

// The bytes that end a token: blanks, breaks and field marks.
constexpr std::array<bool, 256> kTokenSeparators = [] {
  std::array<bool, 256> table{};
  for (int32_t c : {int32_t{' '}, int32_t{'\t'}, int32_t{'\r'}, int32_t{'\a'}, int32_t{'\v'},
                    int32_t{'\f'}, int32_t{'\n'}, kFieldBegin, kFieldSeparator, kFieldEnd}) {
    table[static_cast<size_t>(c)] = true;
  }
  return table;
}();

bool SeparatesTokens(char c) {
  return kTokenSeparators[static_cast<unsigned char>(c)];
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LowerCase(text.substr(0, prefix.size())) == prefix;
}

// Returns whether a blank-free token is a web or e-mail address.
bool IsAddress(std::string_view token) {
  size_t lead = token.find_first_not_of("(<[\"'");
  if (lead == std::string_view::npos) return false;
  std::string_view rest = token.substr(lead);
  if (token.find("://") != std::string_view::npos) return true;
  if (StartsWithIgnoringCase(rest, "www.") || StartsWithIgnoringCase(rest, "mailto:")) return true;
  size_t at = rest.find('@');
  return at != std::string_view::npos && at > 0 && rest.find('.', at) != std::string_view::npos &&
         rest.find('.', at) + 1 < rest.size();
}

void AddAddressZones(std::string_view text, Zones& zones) {
  // Every address holds ":" (a scheme, "mailto:"), "@" or starts "www.": only the tokens
  // around those bytes are looked at, each byte found at memchr's pace.
  constexpr char kMarks[] = {':', '@', '.'};
  size_t next[3];
  for (int k = 0; k < 3; ++k) next[k] = text.find(kMarks[k]);
  size_t looked = 0;  // the tokens before this byte are settled
  for (;;) {
    const int k = static_cast<int>(std::min_element(next, next + 3) - next);
    const size_t i = next[k];
    if (i == std::string_view::npos) return;
    next[k] = text.find(kMarks[k], i + 1);
    if (kMarks[k] == '.' && (i < 3 || (text[i - 1] | 0x20) != 'w' || (text[i - 2] | 0x20) != 'w' ||
                             (text[i - 3] | 0x20) != 'w')) {
      continue;
    }
    if (i < looked) continue;
    size_t begin = i;
    while (begin > 0 && !SeparatesTokens(text[begin - 1])) --begin;
    size_t end = i;
    while (end < text.size() && !SeparatesTokens(text[end])) ++end;
    looked = end;
    if (IsAddress(text.substr(begin, end - begin))) zones.Add(begin, end);
  }
}

// Returns whether the text before byte i ends a sentence: the start of the text or of a
// paragraph, a line or page break, or ".", "!", "?" or "…", with blanks and opening quotes or
// brackets in between.
bool AtSentenceStart(std::string_view text, size_t i) {
  while (i > 0) {
    size_t before = PreviousCodePointStart(text, i);
    int32_t c = CodeAt(text, before);
    switch (c) {
      case ' ':
      case '\t':
      case 0xA0:
      case '"':
      case '\'':
      case '(':
      case '[':
      case 0x201C:
      case 0x2018:
      case 0xAB:
        i = before;
        continue;
      case '.':
      case '!':
      case '?':
      case 0x2026:
      case '\r':
      case '\a':
      case '\v':
      case '\f':
        return true;
      default:
        return false;
    }
  }
  return true;
}

// Returns text with its first letter in capitals.
std::string CapitaliseFirst(const std::string& text) {
  size_t end = 0;
  if (text.empty() || DecodeUtf8At(text, end) < 0) return text;
  return UpperCase(std::string_view(text).substr(0, end)) + text.substr(end);
}

// What a text shows around [start, end) within its paragraph, on one line: field codes left
// out, results kept, breaks and tabs as blanks.
std::string ContextOf(std::string_view text, size_t start, size_t end) {
  // Back to where the context begins: kContextLength shown characters before start.
  size_t from = start;
  bool inCode = false;
  for (size_t taken = 0; from > 0 && taken < kContextLength;) {
    size_t previous = PreviousCodePointStart(text, from);
    int32_t c = CodeAt(text, previous);
    if (EndsParagraph(c)) break;
    from = previous;
    if (c == kFieldSeparator) inCode = true;
    if (c == kFieldBegin) inCode = false;
    taken += !inCode && c != kFieldBegin && c != kFieldSeparator && c != kFieldEnd;
  }
  std::string out;
  out.reserve(end - start + 4 * 2 * kContextLength);
  std::vector<bool> open;  // the fields begun on the way: whether in their code
  size_t inCodes = 0;
  size_t takenAfter = 0;
  for (size_t i = from; i < text.size() && takenAfter < kContextLength;) {
    size_t at = i;
    int32_t c = DecodeUtf8At(text, i);
    if (at >= end && EndsParagraph(c)) break;
    if (c == kFieldBegin) {
      open.push_back(true);
      ++inCodes;
    } else if (c == kFieldSeparator && !open.empty() && open.back()) {
      open.back() = false;
      --inCodes;
    } else if (c == kFieldEnd && !open.empty()) {
      inCodes -= open.back();
      open.pop_back();
    }
    if (inCodes > 0 || c == kFieldBegin || c == kFieldSeparator || c == kFieldEnd) continue;
    if (c >= 0 && c < 0x20) {
      out += ' ';
    } else {
      out.append(text.substr(at, i - at));
    }
    takenAfter += at >= end;
  }
  return TrimSpaces(out);
}

// How the matcher's patterns stand for entries.
struct PatternUse {
  size_t entry;
  PlainForm form;
  bool atSentenceStartOnly;
  uint32_t next;  // the pattern's next use
};

struct Hit {
  size_t start = 0;
  size_t end = 0;
  size_t entry = 0;
  PlainForm form = PlainForm::kShort;
  std::string reason;  // set: kept as written
};

class EntryMatcher {
 public:
  // The matcher looks for each entry's abbreviation and meaning; a combined form is found as
  // one of them followed by the other in parentheses. REQUIRES: entries outlive the matcher.
  explicit EntryMatcher(const std::vector<library::AbbreviationEntry>& entries)
      : entries_(entries) {
    for (size_t e = 0; e < entries.size(); ++e) {
      const std::string& abb = entries[e].abb;
      const std::string& text = entries[e].abbtext;
      if (!library::EntryRefusal(abb, text, "L").empty()) continue;
      AddOne(abb, {e, PlainForm::kShort, false, 0});
      AddOne(text, {e, PlainForm::kLong, false, 0});
      std::string capitalised = CapitaliseFirst(text);
      if (capitalised != text) AddOne(capitalised, {e, PlainForm::kLong, true, 0});
    }
  }

  // Returns the hits in text outside zones, before overlaps are settled.
  std::vector<Hit> Find(std::string_view text, const Zones& zones) {
    matcher_.Build();
    auto findStartingIn = [&](size_t from, size_t to) {
      std::vector<Hit> hits;
      std::vector<size_t> entries;
      matcher_.FindStartingIn(text, from, to, [&](const AhoCorasick::Match& m) {
        OnMatch(text, zones, m, entries, hits);
      });
      return hits;
    };
    // A long text's second half is searched on another core.
    if (text.size() >= kSplitFrom && std::thread::hardware_concurrency() > 1) {
      const size_t half = text.size() / 2;
      std::future<std::vector<Hit>> second;
      try {
        second = std::async(std::launch::async, findStartingIn, half, text.size());
      } catch (const std::system_error&) {
        return findStartingIn(0, text.size());  // no thread to spare
      }
      std::vector<Hit> hits = findStartingIn(0, half);
      std::vector<Hit> more = second.get();
      hits.insert(hits.end(), std::make_move_iterator(more.begin()),
                  std::make_move_iterator(more.end()));
      return hits;
    }
    return findStartingIn(0, text.size());
  }

 private:
  static constexpr size_t kSplitFrom = size_t{1} << 20;

  // Adds to hits the hit match m makes in text, if any; entries is scratch space.
  void OnMatch(std::string_view text, const Zones& zones, const AhoCorasick::Match& m,
               std::vector<size_t>& entries, std::vector<Hit>& hits) const {
    if (IsWordCode(CodeBefore(text, m.start)) || zones.Overlaps(m.start, m.end)) return;
    entries.clear();
    const PatternUse* use = nullptr;
    const PatternUse* combined = nullptr;
    size_t combinedEnd = 0;
    for (uint32_t u = firstUse_[m.id]; u != kNoUse; u = uses_[u].next) {
      const PatternUse& candidate = uses_[u];
      if (candidate.atSentenceStartOnly && !AtSentenceStart(text, m.start)) continue;
      if (std::find(entries.begin(), entries.end(), candidate.entry) == entries.end()) {
        entries.push_back(candidate.entry);
      }
      if (use == nullptr) use = &candidate;
      size_t end = CombinedEnd(text, m.end, candidate);
      if (end > combinedEnd) {
        combinedEnd = end;
        combined = &candidate;
      }
    }
    if (use == nullptr) return;
    Hit hit;
    hit.start = m.start;
    // A combined form names its entry: the other form in the parentheses settles which.
    if (combined != nullptr && !zones.Overlaps(m.start, combinedEnd)) {
      hit.end = combinedEnd;
      hit.entry = combined->entry;
      hit.form = combined->form == PlainForm::kShort ? PlainForm::kShortWithLong
                                                     : PlainForm::kLongWithShort;
      hits.push_back(std::move(hit));
      return;
    }
    hit.end = m.end;
    hit.entry = use->entry;
    hit.form = use->form;
    std::string_view ending = EndingAfter(text, m.end);
    if (ending == "word") return;  // inside a longer word
    if (!ending.empty()) {
      hit.reason = std::string(ending);
    } else if (entries.size() > 1) {
      hit.reason = "stands for " + std::to_string(entries.size()) + " entries";
    }
    hits.push_back(std::move(hit));
  }

  void AddOne(const std::string& pattern, PatternUse use) {
    const uint32_t id = matcher_.Add(pattern);
    if (id >= firstUse_.size()) firstUse_.resize(id + 1, kNoUse);
    use.next = firstUse_[id];
    firstUse_[id] = static_cast<uint32_t>(uses_.size());
    uses_.push_back(use);
  }

  // Returns the end of the combined form when the form use found ending at byte end is
  // followed by a blank and the entry's other form in parentheses, else 0.
  size_t CombinedEnd(std::string_view text, size_t end, const PatternUse& use) const {
    const library::AbbreviationEntry& entry = entries_[use.entry];
    std::string_view other = use.form == PlainForm::kShort ? entry.abbtext : entry.abb;
    std::string_view rest = text.substr(end);
    if (rest.size() < other.size() + 3 || rest[0] != ' ' || rest[1] != '(' ||
        rest.substr(2, other.size()) != other || rest[2 + other.size()] != ')') {
      return 0;
    }
    return end + other.size() + 3;
  }

  // Returns "" when a word ends at byte end, "word" when the word goes on, or the reason a
  // plural or possessive ending keeps the form as written.
  static std::string_view EndingAfter(std::string_view text, size_t end) {
    int32_t next = CodeAt(text, end);
    if (next == 's' && !IsWordCode(CodeAt(text, end + 1)))
      return "plural: a field would lose its s";
    if (next == '\'' || next == 0x2019) {
      size_t s = After(text, end);
      if (CodeAt(text, s) == 's' && !IsWordCode(CodeAt(text, s + 1))) {
        return "possessive: a field would lose its 's";
      }
    }
    return IsWordCode(next) ? "word" : "";
  }

  static constexpr uint32_t kNoUse = UINT32_MAX;
  const std::vector<library::AbbreviationEntry>& entries_;
  AhoCorasick matcher_;
  std::vector<PatternUse> uses_;
  std::vector<uint32_t> firstUse_;  // by pattern id: its first use, the others chained by next
};

// Keeps the hits that start first, the longest of those starting together, none overlapping.
std::vector<Hit> SettleOverlaps(std::vector<Hit> hits) {
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    return a.start != b.start ? a.start < b.start : a.end > b.end;
  });
  std::vector<Hit> kept;
  size_t reached = 0;
  for (Hit& hit : hits) {
    if (!kept.empty() && hit.start < reached) continue;
    reached = hit.end;
    kept.push_back(std::move(hit));
  }
  return kept;
}

bool InAbbreviationShape(std::string_view inner) {
  size_t count = 0, letters = 0, capitals = 0;
  for (size_t i = 0; i < inner.size();) {
    int32_t c = DecodeUtf8At(inner, i);
    ++count;
    if (c > 0 && IsLetterOrDigit(c)) {
      bool digit = c >= '0' && c <= '9';
      letters += !digit;
      capitals += IsCapitalLetter(c);
    } else if (c != '-' && c != '&' && c != '/' && c != '.') {
      return false;
    }
  }
  return count >= 2 && count <= 10 && letters >= 2 && capitals >= 1;
}

// Returns code point c in small letters.
int32_t Lowered(std::string_view text, size_t at, size_t next) {
  std::string lower = LowerCase(text.substr(at, next - at));
  size_t i = 0;
  return lower.empty() ? -1 : DecodeUtf8At(lower, i);
}

// Finds the meaning that the abbreviation in parentheses at byte open stands for: the shortest
// run of words just before it, within its clause, in which the abbreviation's letters and
// digits appear in order (in any case), its first one opening a word. Returns the meaning's
// first byte, or std::string::npos when there is none.
size_t LongFormBefore(std::string_view text, size_t open, std::string_view abb) {
  std::vector<int32_t> letters;
  for (size_t i = 0; i < abb.size();) {
    size_t at = i;
    int32_t c = DecodeUtf8At(abb, i);
    if (c > 0 && IsLetterOrDigit(c)) letters.push_back(Lowered(abb, at, i));
  }
  if (letters.empty()) return std::string::npos;
  size_t end = open;
  while (end > 0 && text[end - 1] == ' ') --end;
  // The words before the parenthesis, back to the clause's start, as (small letter, byte).
  const size_t maxWords = std::min(letters.size() + 5, letters.size() * 2);
  std::vector<std::pair<int32_t, size_t>> chars;
  size_t words = 0;
  bool inWord = false;
  for (size_t i = end; i > 0;) {
    size_t next = i;
    i = PreviousCodePointStart(text, i);
    int32_t c = CodeAt(text, i);
    if (c < 0x20 || c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?' ||
        c == '(' || c == ')' || c == '[' || c == ']') {
      break;
    }
    bool blank = c == ' ' || c == 0xA0;
    if (!blank && !inWord && ++words > maxWords) break;
    inWord = !blank;
    chars.emplace_back(Lowered(text, i, next), i);
  }
  std::reverse(chars.begin(), chars.end());
  long l = static_cast<long>(chars.size()) - 1;
  for (long s = static_cast<long>(letters.size()) - 1; s >= 0; --s) {
    const int32_t wanted = letters[static_cast<size_t>(s)];
    while (l >= 0) {
      bool same = chars[static_cast<size_t>(l)].first == wanted;
      bool opensWord = l == 0 || !IsWordCode(chars[static_cast<size_t>(l - 1)].first);
      if (same && (s > 0 || opensWord)) break;
      --l;
    }
    if (l < 0) return std::string::npos;
    if (s > 0) --l;
  }
  size_t start = chars[static_cast<size_t>(l)].second;
  if (CodePointCount(text.substr(start, end - start)) <= CodePointCount(abb)) {
    return std::string::npos;
  }
  return start;
}

}  // namespace

std::string_view PlainFormName(PlainForm form) {
  switch (form) {
    case PlainForm::kShort:
      return "short";
    case PlainForm::kLong:
      return "long";
    case PlainForm::kLongWithShort:
      return "long (short)";
    case PlainForm::kShortWithLong:
      return "short (long)";
  }
  return "";
}

ScanReport ScanDocument(host::Application& word,
                        const std::vector<library::AbbreviationEntry>& entries,
                        const ScanOptions& options) {
  host::Document& document = word.ActiveDocument();
  std::unique_ptr<host::Range> whole = document.Range();
  const long base = whole->Start();
  const std::string text = whole->StoryText();

  ScanReport report;
  Zones zones;
  AddFieldZones(text, zones);
  AddAddressZones(text, zones);
  {
    report.tables = AbbreviationTables(document);
    PositionCursor cursor(text, base);
    for (const AbbreviationTableAt& table : report.tables) {
      size_t b = cursor.ByteOf(table.start);
      zones.Add(b, cursor.ByteOf(table.end));
    }
  }
  zones.Finish();

  EntryMatcher matcher(entries);
  std::vector<Hit> hits = SettleOverlaps(matcher.Find(text, zones));
  report.uses.reserve(hits.size());
  PositionCursor cursor(text, base);
  for (const Hit& hit : hits) {
    long start = cursor.PositionOf(hit.start);
    long end = cursor.PositionOf(hit.end);
    std::string found = text.substr(hit.start, hit.end - hit.start);
    std::string context = options.details ? ContextOf(text, hit.start, hit.end) : std::string();
    if (hit.reason.empty()) {
      report.uses.push_back(
          {hit.form, hit.entry, start, end, 0, std::move(found), std::move(context)});
    } else {
      report.kept.push_back({start, end, 0, std::move(found), std::move(context), hit.reason});
    }
  }

  // Definitions of abbreviations the library lacks.
  std::unordered_set<std::string> known;
  for (const library::AbbreviationEntry& entry : entries) known.insert(UpperCase(entry.abb));
  std::map<std::pair<std::string, std::string>, size_t> seen;
  PositionCursor candidateCursor(text, base);
  for (size_t open = text.find('('); open != std::string::npos; open = text.find('(', open + 1)) {
    size_t close = text.find(')', open + 1);
    if (close == std::string::npos) break;
    std::string_view inner = std::string_view(text).substr(open + 1, close - open - 1);
    if (inner.size() > 40 || !InAbbreviationShape(inner) || zones.Overlaps(open, close + 1)) {
      continue;
    }
    if (known.count(UpperCase(inner)) != 0) continue;
    size_t start = LongFormBefore(text, open, inner);
    if (start == std::string::npos) continue;
    size_t end = open;
    while (end > start && text[end - 1] == ' ') --end;
    std::string meaning = text.substr(start, end - start);
    auto key = std::make_pair(std::string(inner), meaning);
    auto [it, added] = seen.try_emplace(key, report.candidates.size());
    if (!added) {
      ++report.candidates[it->second].count;
      continue;
    }
    CandidateEntry candidate;
    candidate.abb = key.first;
    candidate.text = meaning;
    candidate.start = candidateCursor.PositionOf(start);
    candidate.count = 1;
    if (options.details) candidate.context = ContextOf(text, start, close + 1);
    report.candidates.push_back(std::move(candidate));
  }

  if (options.details) {
    host::Selection& selection = word.Selection();
    auto pageOf = [&selection](long start, long end) {
      selection.SetRange(start, end);
      return selection.Information(host::wdActiveEndPageNumber);
    };
    for (PlainUse& use : report.uses) use.page = pageOf(use.start, use.end);
    for (KeptUse& use : report.kept) use.page = pageOf(use.start, use.end);
    for (CandidateEntry& candidate : report.candidates) {
      candidate.page = pageOf(candidate.start, candidate.start);
    }
  }
  return report;
}

}  // namespace quillon::document
