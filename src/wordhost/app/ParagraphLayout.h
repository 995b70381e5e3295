// Line breaking and hit-testing for one paragraph, over plain measures: the view measures each
// shown character in its font, and everything here is arithmetic on those measures, so that it
// runs (and is tested) without a display. Nothing here fails.
#pragma once

#include <cstddef>
#include <vector>

namespace quillon::wordhost {

// One shown character, measured in its font (pixels).
struct GlyphBox {
  char32_t ch = 0;
  float advance = 0;
  float ascent = 0;
  float descent = 0;
};

// One line of a laid-out paragraph: glyphs [begin, end).
struct LayoutLine {
  size_t begin = 0;
  size_t end = 0;
  float top = 0;     // from the paragraph's top
  float ascent = 0;  // the baseline is at top + ascent
  float height = 0;
  float left = 0;   // where the first glyph stands: 0 unless the line is centred or right-aligned
  float width = 0;  // the glyphs' advances, trailing spaces included
};

struct ParagraphLayout {
  std::vector<float> x;           // each glyph's left edge, from the paragraph's left
  std::vector<LayoutLine> lines;  // at least one, even for no glyphs
  float height = 0;               // the lines' heights summed
};

// How lines stand in the paragraph's width; a justified paragraph is laid out flush left.
enum class Alignment { kLeft, kCenter, kRight };

// Returns whether ch ends its line whatever the width: a line break, a page or column break.
bool BreaksLine(char32_t ch);

// Lays glyphs out in lines at most width wide, greedily: a line breaks after a run of spaces
// or tabs, and after a character that BreaksLine; a word wider than the line is cut where it
// overflows; spaces at a line's end may hang past the width. Every line holds at least one
// glyph, so a width too small for anything still makes progress. Centred and right-aligned
// lines place their glyphs without the spaces that end them.
ParagraphLayout LayOutParagraph(const std::vector<GlyphBox>& glyphs, float width,
                                Alignment alignment = Alignment::kLeft);

// Returns the line that holds glyph (the last line for a glyph past the end).
size_t LineOfGlyph(const ParagraphLayout& layout, size_t glyph);

// Returns the glyph before which a click at (x, y) from the paragraph's top left puts the
// caret: the line under y (the first above the paragraph, the last below it), then the glyph
// whose middle x lies past; right of a line's glyphs, its last glyph (a wrapped line's trailing
// space or break, the last line's closing mark). Returns 0 for a layout without glyphs.
size_t GlyphAt(const ParagraphLayout& layout, float x, float y);

}  // namespace quillon::wordhost
