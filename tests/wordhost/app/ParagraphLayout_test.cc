// Line breaking and hit-testing over plain measures: every character 10 pixels wide (marks and
// breaks none), lines 10 high.
#include "wordhost/app/ParagraphLayout.h"

#include <gtest/gtest.h>

#include <string>

#include "wordhost/app/RowLayout.h"

namespace quillon::wordhost {
namespace {

std::vector<GlyphBox> Glyphs(const std::u32string& text) {
  std::vector<GlyphBox> glyphs;
  for (char32_t ch : text) {
    const bool empty = ch == U'\r' || ch == U'\a' || BreaksLine(ch);
    glyphs.push_back({ch, empty ? 0.f : 10.f, 8.f, 2.f});
  }
  return glyphs;
}

std::vector<std::u32string> Lines(const std::u32string& text, const ParagraphLayout& layout) {
  std::vector<std::u32string> lines;
  for (const LayoutLine& line : layout.lines)
    lines.push_back(text.substr(line.begin, line.end - line.begin));
  return lines;
}

struct WrapCase {
  std::u32string text;
  float width;
  std::vector<std::u32string> lines;
};

TEST(ParagraphLayoutTest, BreaksAfterSpacesAndForcedBreaksAndCutsLongWords) {
  const WrapCase cases[] = {
      {U"aaa bbb ccc\r", 75, {U"aaa bbb ", U"ccc\r"}},
      {U"aaa bbb ccc\r", 1000, {U"aaa bbb ccc\r"}},
      {U"aa  bb\r", 45, {U"aa  ", U"bb\r"}},
      {U"abcdefgh\r", 35, {U"abc", U"def", U"gh\r"}},
      {U"ab\vcd\r", 1000, {U"ab\v", U"cd\r"}},
      {U"ab\fcd ef\r", 45, {U"ab\f", U"cd ", U"ef\r"}},
      {U"abc\r", 1, {U"a", U"b", U"c\r"}},
      {U"\r", 50, {U"\r"}},
      {U"", 50, {U""}},
  };
  for (const WrapCase& c : cases) {
    const ParagraphLayout layout = LayOutParagraph(Glyphs(c.text), c.width);
    EXPECT_EQ(Lines(c.text, layout), c.lines) << c.width;
    EXPECT_FLOAT_EQ(layout.height, c.text.empty() ? 0.f : 10.f * c.lines.size());
    for (size_t n = 0; n < layout.lines.size(); ++n) {
      EXPECT_FLOAT_EQ(layout.lines[n].top, 10.f * n * !c.text.empty());
      if (layout.lines[n].begin < layout.lines[n].end) {
        EXPECT_FLOAT_EQ(layout.x[layout.lines[n].begin], 0.f);
      }
    }
  }
}

TEST(ParagraphLayoutTest, GlyphsOfClicksAndLinesOfGlyphs) {
  // "aaa bbb " on the first line (y 0..10), "ccc\r" on the second (y 10..20).
  const ParagraphLayout layout = LayOutParagraph(Glyphs(U"aaa bbb ccc\r"), 75);
  struct Click {
    float x, y;
    size_t glyph;
  };
  const Click clicks[] = {
      {0, 0, 0},   {4, 5, 0},  {6, 5, 1},     {36, 5, 4},  {200, 5, 7},
      {14, 15, 9}, {0, 15, 8}, {200, 15, 11}, {6, -50, 1}, {0, 500, 8},
  };
  for (const Click& click : clicks)
    EXPECT_EQ(GlyphAt(layout, click.x, click.y), click.glyph) << click.x << "," << click.y;
  const std::pair<size_t, size_t> lines[] = {{0, 0}, {7, 0}, {8, 1}, {11, 1}, {40, 1}};
  for (const auto& [glyph, line] : lines) EXPECT_EQ(LineOfGlyph(layout, glyph), line) << glyph;
}

// "aaa bbb " (70 wide without its space) and "ccc\r" (30) in 75: centred and right-aligned
// lines stand without their trailing spaces.
TEST(ParagraphLayoutTest, CentredAndRightAlignedLinesStandWithoutTheirTrailingSpaces) {
  const std::pair<Alignment, std::vector<float>> cases[] = {{Alignment::kLeft, {0, 0}},
                                                            {Alignment::kCenter, {2.5f, 22.5f}},
                                                            {Alignment::kRight, {5, 45}}};
  for (const auto& [alignment, lefts] : cases) {
    const ParagraphLayout layout = LayOutParagraph(Glyphs(U"aaa bbb ccc\r"), 75, alignment);
    ASSERT_EQ(layout.lines.size(), lefts.size());
    for (size_t n = 0; n < lefts.size(); ++n) {
      EXPECT_FLOAT_EQ(layout.x[layout.lines[n].begin], lefts[n]);
    }
    // Clicks left of a line find its first glyph, right of it its last.
    EXPECT_EQ(GlyphAt(layout, 0, 15), 8u);
    EXPECT_EQ(GlyphAt(layout, 200, 15), 11u);
  }
}

TEST(RowLayoutTest, CellWidthsFollowTheGridAndFitTheRow) {
  struct Case {
    std::vector<float> grid;
    std::vector<int> spans;
    float available, unit;
    std::vector<float> widths;
  };
  const Case cases[] = {
      {{100, 200}, {1, 1}, 1000, 1, {100, 200}},
      {{100, 200}, {1, 1}, 1000, 0.5f, {50, 100}},
      {{100, 200}, {2}, 1000, 1, {300}},
      {{100, 100}, {1, 1}, 100, 1, {50, 50}},
      {{}, {1, 1, 1, 1}, 100, 1, {25, 25, 25, 25}},
      {{100}, {1, 1}, 300, 1, {100, 200}},
      {{200}, {1, 1}, 100, 1, {50, 50}},
      {{}, {}, 100, 1, {}},
  };
  for (const Case& c : cases) {
    const std::vector<float> widths = CellWidths(c.grid, c.spans, c.available, c.unit);
    ASSERT_EQ(widths.size(), c.widths.size());
    for (size_t k = 0; k < widths.size(); ++k) EXPECT_FLOAT_EQ(widths[k], c.widths[k]) << k;
  }
}

}  // namespace
}  // namespace quillon::wordhost
