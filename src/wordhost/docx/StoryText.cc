#include "wordhost/docx/StoryText.h"

#include <algorithm>

#include "wordhost/docx/Utf8.h"

namespace quillon::docx {
namespace {

// The one character a mark or a character element stands for.
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

}  // namespace

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
      std::string_view text = atom.kind == AtomKind::kSimpleCode
                                  ? atom.node.attribute("w:instr").value()
                                  : atom.node.child_value();
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

}  // namespace quillon::docx
