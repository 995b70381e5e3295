#include "wordhost/docx/StoryText.h"

#include <algorithm>
#include <string_view>

#include "base/Utf8.h"

namespace quillon::docx {
namespace {

// Tracks the fields open at a point of a walk: whether each shows its code, and whether the
// walk is in its code or result.
class FieldStack {
 public:
  void Begin(bool showsCode) {
    open_.push_back({showsCode, true});
    Recount();
  }
  void Separate() {
    if (open_.empty()) return;
    open_.back().inCode = false;
    Recount();
  }
  void End() {
    if (open_.empty()) return;
    open_.pop_back();
    Recount();
  }
  bool Hidden() const { return hidden_ > 0; }
  // Follows atom when it is a field mark (begin, separator, end) and returns true; returns
  // false for any other atom.
  bool Follow(const Atom& atom, const FieldDisplay& display) {
    switch (atom.kind) {
      case AtomKind::kBegin:
      case AtomKind::kSimpleBegin:
        Begin(display.ShowsCode(atom.node));
        return true;
      case AtomKind::kSeparate:
      case AtomKind::kSimpleSeparate:
        Separate();
        return true;
      case AtomKind::kEnd:
      case AtomKind::kSimpleEnd:
        End();
        return true;
      default:
        return false;
    }
  }

 private:
  struct Open {
    bool showsCode;
    bool inCode;
  };
  void Recount() {
    hidden_ = 0;
    for (const Open& o : open_) hidden_ += o.inCode != o.showsCode;
  }
  std::vector<Open> open_;
  int hidden_ = 0;
};

// The one character a mark or a character element stands for in StoryText.
char32_t MarkCharacter(const Atom& atom, UnitKind unitKind) {
  switch (atom.kind) {
    case AtomKind::kBegin:
    case AtomKind::kSimpleBegin:
      return U'\x13';
    case AtomKind::kSeparate:
    case AtomKind::kSimpleSeparate:
      return U'\x14';
    case AtomKind::kEnd:
    case AtomKind::kSimpleEnd:
      return U'\x15';
    case AtomKind::kMark:
      return unitKind == UnitKind::kParagraph ? U'\r' : U'\a';
    default:
      return atom.ch == 0 ? U'\uFFFC' : atom.ch;
  }
}

// Asks the processor to fetch the XML text after the text just read. Routines read fields in
// document order, and the next field's code and result stand within the next kilobytes of
// the part: on a document larger than the cache, fetching them while this field is handled
// hides most of the wait for memory.
void PrefetchTextAfter(const char* end) {
  constexpr int kLine = 64;
  for (int line = 8; line <= 32; line += 1) __builtin_prefetch(end + line * kLine);
}

}  // namespace

std::string ShownText(const Story& story, long start, long end, const FieldDisplay& display,
                      const UnitHint* hint) {
  std::string out;
  start = std::max(start, 0L);
  end = std::min(end, story.Length());
  if (start >= end) return out;
  FieldStack stack;
  bool hinted = hint != nullptr && hint->unit < story.UnitCount() && hint->start <= start &&
                start < hint->start + story.UnitLength(hint->unit);
  for (size_t unit = hinted ? hint->unit : story.UnitAt(start); unit < story.UnitCount(); ++unit) {
    long base = hinted && unit == hint->unit ? hint->start : story.UnitStart(unit);
    if (base >= end) break;
    const std::vector<Atom>& atoms = story.Atoms(unit);
    // Atoms are in offset order: start at the last one beginning at or before start.
    auto first = atoms.begin();
    if (base < start) {
      first =
          std::upper_bound(atoms.begin(), atoms.end(), static_cast<uint32_t>(start - base),
                           [](uint32_t offset, const Atom& atom) { return offset < atom.offset; });
      if (first != atoms.begin()) --first;
    }
    for (auto it = first; it != atoms.end(); ++it) {
      const Atom& atom = *it;
      long ps = base + atom.offset;
      long pe = ps + atom.length;
      if (pe <= start) continue;
      if (ps >= end) break;
      if (stack.Follow(atom, display) || stack.Hidden()) continue;
      if (atom.kind == AtomKind::kChar) {
        if (atom.ch != 0) AppendUtf8(out, atom.ch);
      } else if (atom.kind == AtomKind::kMark) {
        out += story.KindOf(unit) == UnitKind::kParagraph ? "\r" : "\r\a";
      } else {
        std::string_view text = AtomText(atom);
        size_t from = static_cast<size_t>(std::max(start, ps) - ps);
        size_t to = static_cast<size_t>(std::min(end, pe) - ps);
        size_t a = ByteOffsetOf(text, from);
        size_t b = to == atom.length ? text.size() : a + ByteOffsetOf(text.substr(a), to - from);
        out.append(text.substr(a, b - a));
        PrefetchTextAfter(text.data() + text.size());
      }
    }
  }
  return out;
}

void ShownCharacters(const Story& story, long start, long end, const FieldDisplay& display,
                     std::u32string& text, std::vector<long>& positions) {
  start = std::max(start, 0L);
  end = std::min(end, story.Length());
  if (start >= end) return;
  FieldStack stack;
  for (size_t unit = story.UnitAt(start); unit < story.UnitCount(); ++unit) {
    long base = story.UnitStart(unit);
    if (base >= end) break;
    for (const Atom& atom : story.Atoms(unit)) {
      long ps = base + atom.offset;
      long pe = ps + atom.length;
      if (ps >= end) break;
      if (stack.Follow(atom, display) || pe <= start || stack.Hidden()) continue;
      if (atom.kind == AtomKind::kChar || atom.kind == AtomKind::kMark) {
        text.push_back(atom.ch == 0 ? U'\uFFFC' : atom.ch);
        positions.push_back(ps);
      } else {
        std::u32string chars = DecodeUtf8(AtomText(atom));
        for (size_t i = 0; i < chars.size(); ++i) {
          long p = ps + static_cast<long>(i);
          if (p < start || p >= end) continue;
          text.push_back(chars[i]);
          positions.push_back(p);
        }
      }
    }
  }
}

std::string StoryText(const Story& story, long start, long end) {
  std::string out;
  start = std::max(start, 0L);
  end = std::min(end, story.Length());
  if (start >= end) return out;
  out.reserve(static_cast<size_t>(end - start));
  for (size_t unit = story.UnitAt(start); unit < story.UnitCount(); ++unit) {
    const long base = story.UnitStart(unit);
    if (base >= end) break;
    for (const Atom& atom : story.Atoms(unit)) {
      const long ps = base + atom.offset;
      const long pe = ps + atom.length;
      if (pe <= start) continue;
      if (ps >= end) break;
      const bool written = atom.kind == AtomKind::kText || atom.kind == AtomKind::kCode ||
                           atom.kind == AtomKind::kSimpleCode;
      if (!written) {
        AppendUtf8(out, MarkCharacter(atom, story.KindOf(unit)));
        continue;
      }
      std::string_view text = AtomText(atom);
      if (ps >= start && pe <= end) {
        out.append(text);
        continue;
      }
      size_t from = ByteOffsetOf(text, static_cast<size_t>(std::max(start, ps) - ps));
      size_t to = ByteOffsetOf(text, static_cast<size_t>(std::min(end, pe) - ps));
      out.append(text.substr(from, to - from));
    }
  }
  return out;
}

bool InCodeAt(const Story& story, long pos) {
  size_t unit = story.UnitAt(std::min(pos, story.Length() - 1));
  uint32_t offset = static_cast<uint32_t>(pos - story.UnitStart(unit));
  std::vector<bool> inCode;
  for (const Atom& atom : story.Atoms(unit)) {
    if (atom.offset >= offset) break;
    if (atom.kind == AtomKind::kBegin || atom.kind == AtomKind::kSimpleBegin) {
      inCode.push_back(true);
    } else if ((atom.kind == AtomKind::kSeparate || atom.kind == AtomKind::kSimpleSeparate) &&
               !inCode.empty()) {
      inCode.back() = false;
    } else if ((atom.kind == AtomKind::kEnd || atom.kind == AtomKind::kSimpleEnd) &&
               !inCode.empty()) {
      inCode.pop_back();
    }
  }
  return !inCode.empty() && inCode.back();
}

pugi::xml_node FormatAt(const Story& story, long pos) {
  size_t unit = story.UnitAt(std::min(pos, story.Length() - 1));
  uint32_t offset = static_cast<uint32_t>(pos - story.UnitStart(unit));
  const std::vector<Atom>& atoms = story.Atoms(unit);
  const Atom* before = nullptr;
  const Atom* after = nullptr;
  for (const Atom& atom : atoms) {
    if (!IsRunBased(atom.kind)) continue;
    if (atom.offset + atom.length <= offset) {
      before = &atom;
    } else if (after == nullptr) {
      after = &atom;
    }
  }
  if (before != nullptr) return before->node.parent().child("w:rPr");
  if (after != nullptr) return after->node.parent().child("w:rPr");
  return story.NodeOf(unit).child("w:pPr").child("w:rPr");
}

pugi::xml_node FormatOfFirst(const Story& story, long start, long end) {
  end = std::min(end, story.Length());
  for (size_t unit = story.UnitAt(start); unit < story.UnitCount(); ++unit) {
    long base = story.UnitStart(unit);
    if (base >= end) break;
    for (const Atom& atom : story.Atoms(unit)) {
      long ps = base + atom.offset;
      if (ps + static_cast<long>(atom.length) <= start) continue;
      if (ps >= end) break;
      if (atom.kind == AtomKind::kText || atom.kind == AtomKind::kCode ||
          atom.kind == AtomKind::kChar) {
        return atom.node.parent().child("w:rPr");
      }
    }
  }
  return FormatAt(story, start);
}

}  // namespace quillon::docx
