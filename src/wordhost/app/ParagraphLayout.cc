#include "wordhost/app/ParagraphLayout.h"

#include <algorithm>

namespace quillon::wordhost {
namespace {

bool IsSpace(char32_t ch) {
  return ch == U' ' || ch == U'\t' || ch == U'\u00A0';
}

// Closes the line [begin, end) of glyphs at the layout's current height, placed in width as
// alignment says.
void CloseLine(const std::vector<GlyphBox>& glyphs, size_t begin, size_t end, float width,
               Alignment alignment, ParagraphLayout& layout) {
  LayoutLine line;
  line.begin = begin;
  line.end = end;
  line.top = layout.height;
  float descent = 0;
  float x = 0;
  float ink = 0;  // the width without the spaces that end the line
  for (size_t i = begin; i < end; ++i) {
    layout.x[i] = x;
    x += glyphs[i].advance;
    if (!IsSpace(glyphs[i].ch)) ink = x;
    line.ascent = std::max(line.ascent, glyphs[i].ascent);
    descent = std::max(descent, glyphs[i].descent);
  }
  const float room = std::max(0.f, width - ink);
  line.left = alignment == Alignment::kCenter  ? room / 2
              : alignment == Alignment::kRight ? room
                                               : 0;
  for (size_t i = begin; i < end; ++i) layout.x[i] += line.left;
  line.width = x;
  line.height = line.ascent + descent;
  layout.height += line.height;
  layout.lines.push_back(line);
}

}  // namespace

bool BreaksLine(char32_t ch) {
  return ch == U'\v' || ch == U'\f' || ch == U'\x0E' || ch == U'\n';
}

ParagraphLayout LayOutParagraph(const std::vector<GlyphBox>& glyphs, float width,
                                Alignment alignment) {
  ParagraphLayout layout;
  layout.x.assign(glyphs.size(), 0);
  size_t begin = 0;
  size_t lastBreak = 0;  // a line may end before this glyph (0: no such place yet)
  float used = 0;
  for (size_t i = 0; i < glyphs.size(); ++i) {
    const GlyphBox& glyph = glyphs[i];
    if (glyph.advance > 0 && !IsSpace(glyph.ch) && used + glyph.advance > width && i > begin) {
      const size_t end = lastBreak > begin ? lastBreak : i;
      CloseLine(glyphs, begin, end, width, alignment, layout);
      begin = end;
      used = 0;
      for (size_t k = begin; k < i; ++k) used += glyphs[k].advance;
    }
    used += glyph.advance;
    if (IsSpace(glyph.ch)) lastBreak = i + 1;
    if (BreaksLine(glyph.ch)) {
      CloseLine(glyphs, begin, i + 1, width, alignment, layout);
      begin = lastBreak = i + 1;
      used = 0;
    }
  }
  if (begin < glyphs.size() || layout.lines.empty())
    CloseLine(glyphs, begin, glyphs.size(), width, alignment, layout);
  return layout;
}

size_t LineOfGlyph(const ParagraphLayout& layout, size_t glyph) {
  for (size_t n = 0; n < layout.lines.size(); ++n)
    if (glyph < layout.lines[n].end) return n;
  return layout.lines.size() - 1;
}

size_t GlyphAt(const ParagraphLayout& layout, float x, float y) {
  size_t n = 0;
  while (n + 1 < layout.lines.size() && y >= layout.lines[n].top + layout.lines[n].height) ++n;
  const LayoutLine& line = layout.lines[n];
  if (line.begin == line.end) return line.begin;
  for (size_t i = line.begin; i < line.end; ++i) {
    const float right = i + 1 < line.end ? layout.x[i + 1] : line.left + line.width;
    if (x < (layout.x[i] + right) / 2) return i;
  }
  return line.end - 1;
}

}  // namespace quillon::wordhost
