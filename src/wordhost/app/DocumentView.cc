#include "wordhost/app/DocumentView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "addin/host/HostError.h"
#include "wordhost/app/ParagraphLayout.h"
#include "wordhost/app/RowLayout.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryText.h"
#include "wordhost/docx/Wml.h"

namespace quillon::wordhost {
namespace {

constexpr float kMargin = 24;
constexpr float kTop = 12;
constexpr float kParagraphGap = 4;
constexpr float kCellPadding = 4;
constexpr float kIndentStep = 28;
// Word's half-points on a 96-dpi screen.
constexpr float kPixelsPerHalfPoint = 96.f / 72.f / 2.f;
// Table grid widths are in twentieths of a point.
constexpr float kPixelsPerTwip = 96.f / 1440.f;
const QColor kFieldShade(220, 220, 220);
const QColor kSelection(51, 153, 255);

class AllFields : public docx::FieldDisplay {
 public:
  explicit AllFields(bool codes) : codes_(codes) {}
  bool ShowsCode(pugi::xml_node) const override { return codes_; }

 private:
  bool codes_;
};

// The run properties that the text of atom is written in.
pugi::xml_node RunPropertiesOf(const docx::Atom& atom) {
  switch (atom.kind) {
    case docx::AtomKind::kMark:
      return atom.node.child("w:pPr").child("w:rPr");
    case docx::AtomKind::kSimpleBegin:
    case docx::AtomKind::kSimpleCode:
    case docx::AtomKind::kSimpleSeparate:
    case docx::AtomKind::kSimpleEnd:
      return atom.node.child("w:r").child("w:rPr");
    default:
      return atom.node.parent().child("w:rPr");
  }
}

// Returns the outermost table row that node lies in, or an empty node for body text.
pugi::xml_node TopRow(pugi::xml_node node) {
  pugi::xml_node row;
  for (pugi::xml_node at = node; at && !docx::IsW(at, "body"); at = at.parent()) {
    if (docx::IsW(at, "tr")) row = at;
  }
  return row;
}

// Characters that take no room and are not drawn: marks, breaks, objects, soft hyphens.
bool Invisible(char32_t ch) {
  return ch == U'\r' || ch == U'\a' || ch == U'\uFFFC' || ch == U'\u00AD' || ch == U'\t' ||
         BreaksLine(ch);
}

}  // namespace

struct DocumentView::Paragraph {
  size_t unit = 0;
  long start = 0;
  long end = 0;
  int cell = -1;  // the cell of a table row it stands in
  std::u32string text;
  std::vector<long> positions;
  std::vector<uint16_t> fonts;
  std::vector<std::pair<size_t, QString>> notes;  // glyphs drawn as a note's number
  ParagraphLayout layout;
  QString label;
  uint16_t labelFont = 0;
  float labelX = 0;
  float left = 0;
  float top = 0;
};

struct DocumentView::Block {
  size_t first = 0;
  size_t end = 0;
  float top = 0;
  float height = 0;
  bool row = false;
  std::vector<float> edges;  // a row's cell boundaries, left to right
  // Per cell: it continues the cell above (a vertical merge), so no border parts them.
  std::vector<bool> continues;
  bool lastRow = false;  // the table's last row, which closes it with its bottom border
  std::vector<Paragraph> paragraphs;
};

DocumentView::DocumentView(docx::Document& document, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(palette);
  UpdateScrollRange();
}

DocumentView::~DocumentView() = default;

void DocumentView::SetShowCodes(bool codes) {
  showCodes_ = codes;
  viewport()->update();
}

void DocumentView::Refresh() {
  UpdateScrollRange();
  viewport()->update();
  emit caretMoved();
}

void DocumentView::UpdateScrollRange() {
  const int units = static_cast<int>(document_.story().UnitCount());
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setRange(0, std::max(0, units - 1));
}

uint16_t DocumentView::FontOf(const docx::RunFormat& format) {
  const FormatKey key{format.halfPoints, format.bold,        format.italic,   format.underline,
                      format.strike,     format.superscript, format.subscript};
  if (auto found = fontIndex_.find(key); found != fontIndex_.end()) return found->second;
  QFont font = this->font();
  const float pixels = static_cast<float>(format.halfPoints) * kPixelsPerHalfPoint;
  font.setPixelSize(std::max(
      1, static_cast<int>(
             std::lround(format.superscript || format.subscript ? pixels * 0.65f : pixels))));
  font.setBold(format.bold);
  font.setItalic(format.italic);
  font.setUnderline(format.underline);
  font.setStrikeOut(format.strike);
  // Text is drawn a stretch at a time but measured a character at a time: without kerning the
  // two agree, so shades, the selection and the caret sit exactly on the glyphs.
  font.setKerning(false);
  const float rise = format.superscript ? pixels * 0.35f : format.subscript ? pixels * -0.15f : 0.f;
  Font entry{font, QFontMetricsF(font), rise, {}};
  fonts_.push_back(std::move(entry));
  const auto index = static_cast<uint16_t>(fonts_.size() - 1);
  fontIndex_.emplace(key, index);
  return index;
}

float DocumentView::Advance(uint16_t font, char32_t ch) {
  Font& entry = fonts_[font];
  if (auto found = entry.advances.find(ch); found != entry.advances.end()) return found->second;
  float advance = 0;
  if (ch == U'\t') {
    advance = 4 * static_cast<float>(entry.metrics.horizontalAdvance(QLatin1Char(' ')));
  } else if (!Invisible(ch)) {
    advance = static_cast<float>(entry.metrics.horizontalAdvance(QString::fromUcs4(&ch, 1)));
  }
  entry.advances.emplace(ch, advance);
  return advance;
}

void DocumentView::EnsureLabels() {
  const docx::Story& story = document_.story();
  const bool labels = labelsGeneration_ != story.Generation();
  const bool notes = notesGeneration_ != story.Generation();
  if (!labels && !notes) return;
  labelsGeneration_ = notesGeneration_ = story.Generation();
  if (labels) labels_.clear();
  if (notes) notes_.clear();
  try {
    docx::ListLabels counter(document_);
    for (size_t n = 0; labels && n < story.ParagraphCount(); ++n) {
      pugi::xml_node paragraph = story.NodeOf(story.ParagraphUnit(n));
      if (std::optional<docx::ListLabel> label = counter.Next(paragraph))
        labels_.emplace(paragraph.internal_object(), std::move(*label));
    }
    if (!notes) return;
    // Note references are numbered in the order they stand in, as the text shows them.
    struct Notes : pugi::xml_tree_walker {
      docx::ListLabels& counter;
      std::unordered_map<pugi::xml_node_struct*, std::string>& out;
      Notes(docx::ListLabels& c, std::unordered_map<pugi::xml_node_struct*, std::string>& o)
          : counter(c), out(o) {}
      bool for_each(pugi::xml_node& node) override {
        if (docx::IsW(node, "footnoteReference")) {
          out.emplace(node.internal_object(), counter.NextFootnote());
        } else if (docx::IsW(node, "endnoteReference")) {
          out.emplace(node.internal_object(), counter.NextEndnote());
        }
        return true;
      }
    } walker(counter, notes_);
    document_.xml().child("w:document").child("w:body").traverse(walker);
  } catch (const docx::DocxError&) {
    // A numbering part that cannot be read numbers nothing (and `quillon show` refuses such a
    // document); the text still shows, without labels or note numbers.
    labels_.clear();
  }
}

size_t DocumentView::BlockStart(size_t unit) const {
  const docx::Story& story = document_.story();
  if (unit >= story.UnitCount()) return story.UnitCount() == 0 ? 0 : story.UnitCount() - 1;
  pugi::xml_node row = TopRow(story.NodeOf(unit));
  if (!row) return unit;
  while (unit > 0 && TopRow(story.NodeOf(unit - 1)) == row) --unit;
  return unit;
}

void DocumentView::LayOutParagraph(size_t unit, float left, float top, float width,
                                   Paragraph& out) {
  const docx::Story& story = document_.story();
  out.unit = unit;
  out.start = story.UnitStart(unit);
  out.end = out.start + story.UnitLength(unit);
  out.top = top;
  AllFields display(showCodes_);
  docx::ShownCharacters(story, out.start, out.end, display, out.text, out.positions);

  const pugi::xml_node paragraph = story.NodeOf(unit);
  const docx::Styles& styles = document_.styles();
  const std::vector<docx::Atom>& atoms = story.Atoms(unit);
  std::unordered_map<pugi::xml_node_struct*, docx::RunFormat> formats;
  auto formatOf = [&](pugi::xml_node rPr) -> const docx::RunFormat& {
    auto found = formats.find(rPr.internal_object());
    if (found == formats.end())
      found =
          formats.emplace(rPr.internal_object(), ResolveRunFormat(styles, paragraph, rPr)).first;
    return found->second;
  };

  std::vector<GlyphBox> glyphs(out.text.size());
  out.fonts.resize(out.text.size());
  auto atom = atoms.begin();
  for (size_t i = 0; i < out.text.size(); ++i) {
    const auto offset = static_cast<uint32_t>(out.positions[i] - out.start);
    if (atom == atoms.end() || atom->offset > offset || atom->offset + atom->length <= offset) {
      atom = std::lower_bound(
          atoms.begin(), atoms.end(), offset,
          [](const docx::Atom& a, uint32_t at) { return a.offset + a.length <= at; });
    }
    const bool found = atom != atoms.end() && atom->offset <= offset;
    docx::RunFormat format = formatOf(found ? RunPropertiesOf(*atom) : pugi::xml_node());
    GlyphBox& glyph = glyphs[i];
    glyph.ch = out.text[i];
    if (found && atom->kind == docx::AtomKind::kChar) {
      if (auto note = notes_.find(atom->node.internal_object()); note != notes_.end()) {
        format.superscript = true;
        format.subscript = false;
        const uint16_t font = FontOf(format);
        const QString number = QString::fromStdString(note->second);
        out.notes.emplace_back(i, number);
        out.fonts[i] = font;
        glyph.advance = static_cast<float>(fonts_[font].metrics.horizontalAdvance(number));
        glyph.ascent = static_cast<float>(fonts_[font].metrics.ascent()) + fonts_[font].rise;
        glyph.descent = static_cast<float>(fonts_[font].metrics.descent()) + 1;
        continue;
      }
    }
    const uint16_t font = FontOf(format);
    out.fonts[i] = font;
    glyph.advance = Advance(font, glyph.ch);
    const float rise = fonts_[font].rise;
    glyph.ascent = static_cast<float>(fonts_[font].metrics.ascent()) + std::max(0.f, rise);
    glyph.descent = static_cast<float>(fonts_[font].metrics.descent()) + std::max(0.f, -rise) + 1;
  }

  out.left = left;
  if (story.KindOf(unit) != docx::UnitKind::kRowEnd) {
    if (auto label = labels_.find(paragraph.internal_object()); label != labels_.end()) {
      out.label = QString::fromStdString(label->second.text);
      out.labelFont = FontOf(formatOf(paragraph.child("w:pPr").child("w:rPr")));
      out.labelX = left + kIndentStep * static_cast<float>(label->second.level);
      const auto labelWidth =
          static_cast<float>(fonts_[out.labelFont].metrics.horizontalAdvance(out.label));
      out.left = out.labelX + std::max(kIndentStep, labelWidth + 6);
    }
  }
  // The paragraph's own justification, else its style's.
  std::string justification = paragraph.child("w:pPr").child("w:jc").attribute("w:val").value();
  if (justification.empty())
    justification = styles.ParagraphJustification(
        paragraph.child("w:pPr").child("w:pStyle").attribute("w:val").value());
  const Alignment alignment = justification == "center" ? Alignment::kCenter
                              : justification == "right" || justification == "end"
                                  ? Alignment::kRight
                                  : Alignment::kLeft;
  out.layout = wordhost::LayOutParagraph(glyphs, std::max(1.f, left + width - out.left), alignment);
}

DocumentView::Block DocumentView::LayOutBlock(size_t unit, float top) {
  const docx::Story& story = document_.story();
  const float width = std::max(40.f, static_cast<float>(viewport()->width()) - 2 * kMargin);
  Block block;
  block.first = unit;
  block.top = top;
  const pugi::xml_node row = TopRow(story.NodeOf(unit));
  if (!row) {
    block.paragraphs.emplace_back();
    LayOutParagraph(unit, kMargin, top, width, block.paragraphs.back());
    block.end = unit + 1;
    block.height = block.paragraphs.back().layout.height + kParagraphGap;
    return block;
  }

  block.row = true;
  std::vector<pugi::xml_node> cells;
  std::vector<int> spans;
  for (pugi::xml_node cell : row.children("w:tc")) {
    cells.push_back(cell);
    spans.push_back(cell.child("w:tcPr").child("w:gridSpan").attribute("w:val").as_int(1));
    const pugi::xml_node merge = cell.child("w:tcPr").child("w:vMerge");
    block.continues.push_back(merge &&
                              std::string_view(merge.attribute("w:val").value()) != "restart");
  }
  if (cells.empty()) cells.emplace_back(), spans.push_back(1), block.continues.push_back(false);
  block.lastRow = !row.next_sibling("w:tr");
  std::vector<float> grid;
  for (pugi::xml_node column : row.parent().child("w:tblGrid").children("w:gridCol"))
    grid.push_back(column.attribute("w:w").as_float(0));
  const std::vector<float> widths = CellWidths(grid, spans, width, kPixelsPerTwip);
  block.edges.push_back(kMargin);
  for (float cellWidth : widths) block.edges.push_back(block.edges.back() + cellWidth);

  std::vector<float> bottoms(cells.size(), top + kCellPadding);
  size_t at = unit;
  for (; at < story.UnitCount(); ++at) {
    const pugi::xml_node node = story.NodeOf(at);
    if (TopRow(node) != row) break;
    if (story.KindOf(at) == docx::UnitKind::kRowEnd) {
      if (node == row) {
        ++at;
        break;
      }
      continue;  // a row of a table inside a cell ends: nothing to show
    }
    pugi::xml_node cell = node;
    while (cell && cell.parent() != row) cell = cell.parent();
    const auto k = static_cast<size_t>(
        std::max<ptrdiff_t>(0, std::find(cells.begin(), cells.end(), cell) - cells.begin()));
    const size_t index = std::min(k, cells.size() - 1);
    block.paragraphs.emplace_back();
    Paragraph& paragraph = block.paragraphs.back();
    paragraph.cell = static_cast<int>(index);
    LayOutParagraph(at, block.edges[index] + kCellPadding, bottoms[index],
                    std::max(1.f, widths[index] - 2 * kCellPadding), paragraph);
    bottoms[index] += paragraph.layout.height;
  }
  block.end = std::max(at, unit + 1);
  block.height = *std::max_element(bottoms.begin(), bottoms.end()) + kCellPadding - top;
  // After the table, the space that follows a paragraph.
  if (block.lastRow) block.height += kParagraphGap;
  return block;
}

const std::vector<DocumentView::Block>& DocumentView::Visible() {
  const docx::Story& story = document_.story();
  const size_t first = BlockStart(static_cast<size_t>(verticalScrollBar()->value()));
  const std::tuple<uint64_t, size_t, int, int, int, bool> key{
      story.Generation(), first, offset_, viewport()->width(), viewport()->height(), showCodes_};
  if (key == visibleKey_) return visible_;
  visibleKey_ = key;
  EnsureLabels();
  visible_.clear();
  float top = kTop - static_cast<float>(offset_);
  size_t unit = first;
  const auto height = static_cast<float>(viewport()->height());
  while (unit < story.UnitCount() && top < height) {
    visible_.push_back(LayOutBlock(unit, top));
    top += visible_.back().height;
    unit = visible_.back().end;
  }
  painted_ = {first, unit};
  verticalScrollBar()->setPageStep(std::max(1, static_cast<int>(unit - first) - 1));
  return visible_;
}

long DocumentView::Caret() const {
  const docx::Selection& selection = document_.selection();
  return selection.End() == anchor_ ? selection.Start() : selection.End();
}

bool DocumentView::FindCaret(long caret, const Paragraph*& paragraph, size_t& glyph) {
  for (const Block& block : Visible()) {
    for (const Paragraph& candidate : block.paragraphs) {
      if (caret < candidate.start || caret >= candidate.end || candidate.positions.empty())
        continue;
      paragraph = &candidate;
      glyph = static_cast<size_t>(
          std::lower_bound(candidate.positions.begin(), candidate.positions.end(), caret) -
          candidate.positions.begin());
      glyph = std::min(glyph, candidate.positions.size() - 1);
      return true;
    }
  }
  return false;
}

QRect DocumentView::CaretRect() {
  const docx::Selection& selection = document_.selection();
  const Paragraph* paragraph = nullptr;
  size_t glyph = 0;
  if (selection.Start() != selection.End() || !FindCaret(selection.End(), paragraph, glyph))
    return {};
  const LayoutLine& line = paragraph->layout.lines[LineOfGlyph(paragraph->layout, glyph)];
  return QRectF(paragraph->left + paragraph->layout.x[glyph], paragraph->top + line.top, 1,
                line.height)
      .toAlignedRect();
}

void DocumentView::PaintParagraph(QPainter& painter, const Paragraph& paragraph, bool body,
                                  long& lastPage) {
  const docx::Selection& selection = document_.selection();
  const long selStart = selection.Start(), selEnd = selection.End();
  const ParagraphLayout& layout = paragraph.layout;

  // What lies behind each glyph: 0 nothing, 1 a field's shade, 2 the selection.
  std::vector<uint8_t> behind(paragraph.positions.size(), 0);
  const docx::Story& story = document_.story();
  const docx::FieldIndex& index = document_.fieldIndex();
  for (size_t i = index.LowerBound(paragraph.start, story); i < index.Count(); ++i) {
    const long begin = index.BeginOf(*index.At(i), story);
    if (begin >= paragraph.end) break;
    const long end = index.EndOf(*index.At(i), story);
    for (size_t g = 0; g < behind.size(); ++g)
      if (paragraph.positions[g] >= begin && paragraph.positions[g] <= end) behind[g] = 1;
  }
  for (size_t g = 0; g < behind.size(); ++g)
    if (paragraph.positions[g] >= selStart && paragraph.positions[g] < selEnd) behind[g] = 2;

  if (!paragraph.label.isEmpty()) {
    painter.setPen(Qt::black);
    painter.setFont(fonts_[paragraph.labelFont].font);
    painter.drawText(QPointF(paragraph.labelX, paragraph.top + layout.lines[0].ascent),
                     paragraph.label);
  }
  size_t note = 0;
  for (const LayoutLine& line : layout.lines) {
    const float top = paragraph.top + line.top;
    const float baseline = top + line.ascent;
    if (body && line.begin < line.end) {
      const long page = document_.PageAt(paragraph.positions[line.begin]);
      if (page != lastPage) {
        painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
        painter.drawLine(QPointF(0, top - 1), QPointF(viewport()->width(), top - 1));
        lastPage = page;
      }
    }
    // Shades first, each stretch of equal shade in one go.
    for (size_t g = line.begin; g < line.end;) {
      size_t stop = g;
      while (stop < line.end && behind[stop] == behind[g]) ++stop;
      const float right = stop < line.end ? layout.x[stop] : line.left + line.width;
      if (behind[g] != 0 && right > layout.x[g])
        painter.fillRect(
            QRectF(paragraph.left + layout.x[g], top, right - layout.x[g], line.height),
            behind[g] == 2 ? kSelection : kFieldShade);
      g = stop;
    }
    // Then the text, each stretch in one font and colour in one go.
    for (size_t g = line.begin; g < line.end;) {
      if (note < paragraph.notes.size() && paragraph.notes[note].first == g) {
        const Font& font = fonts_[paragraph.fonts[g]];
        painter.setFont(font.font);
        painter.setPen(behind[g] == 2 ? Qt::white : Qt::black);
        painter.drawText(QPointF(paragraph.left + layout.x[g], baseline - font.rise),
                         paragraph.notes[note].second);
        ++note, ++g;
        continue;
      }
      if (Invisible(paragraph.text[g])) {
        ++g;
        continue;
      }
      size_t stop = g + 1;
      while (stop < line.end && paragraph.fonts[stop] == paragraph.fonts[g] &&
             (behind[stop] == 2) == (behind[g] == 2) && !Invisible(paragraph.text[stop]) &&
             (note >= paragraph.notes.size() || paragraph.notes[note].first != stop))
        ++stop;
      const Font& font = fonts_[paragraph.fonts[g]];
      painter.setFont(font.font);
      painter.setPen(behind[g] == 2 ? Qt::white : Qt::black);
      painter.drawText(
          QPointF(paragraph.left + layout.x[g], baseline - font.rise),
          QString::fromUcs4(paragraph.text.data() + g, static_cast<qsizetype>(stop - g)));
      g = stop;
    }
  }
}

void DocumentView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const std::vector<Block>& blocks = Visible();
  const docx::Story& story = document_.story();
  long lastPage = painted_.first > 0 ? document_.PageAt(story.UnitStart(painted_.first) - 1) : 1;
  for (const Block& block : blocks) {
    if (!block.row) {
      PaintParagraph(painter, block.paragraphs.front(), true, lastPage);
      continue;
    }
    const long page = document_.PageAt(story.UnitStart(block.first));
    if (page != lastPage) {
      painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
      painter.drawLine(QPointF(0, block.top - 2), QPointF(viewport()->width(), block.top - 2));
      lastPage = page;
    }
    for (const Paragraph& paragraph : block.paragraphs)
      PaintParagraph(painter, paragraph, false, lastPage);
    // Each row draws the borders above its cells (none over a merged continuation) and
    // between them; the last row closes the table.
    painter.setPen(QPen(Qt::black, 1));
    const float bottom = block.top + block.height - (block.lastRow ? kParagraphGap : 0);
    for (size_t k = 0; k + 1 < block.edges.size(); ++k) {
      if (!block.continues[k])
        painter.drawLine(QPointF(block.edges[k], block.top),
                         QPointF(block.edges[k + 1], block.top));
    }
    if (block.lastRow)
      painter.drawLine(QPointF(block.edges.front(), bottom), QPointF(block.edges.back(), bottom));
    for (float x : block.edges) painter.drawLine(QPointF(x, block.top), QPointF(x, bottom));
  }
  if (hasFocus()) {
    const QRect caret = CaretRect();
    if (!caret.isEmpty()) painter.fillRect(caret, Qt::black);
  }
}

long DocumentView::PositionAt(const QPoint& point) {
  const std::vector<Block>& blocks = Visible();
  if (blocks.empty()) return 0;
  const auto x = static_cast<float>(point.x()), y = static_cast<float>(point.y());
  const Block* block = &blocks.back();
  for (const Block& candidate : blocks) {
    if (y < candidate.top + candidate.height) {
      block = &candidate;
      break;
    }
  }
  int cell = -1;
  if (block->row) {
    cell = 0;
    while (cell + 2 < static_cast<int>(block->edges.size()) &&
           x >= block->edges[static_cast<size_t>(cell) + 1])
      ++cell;
  }
  // The cell's paragraph under y: the last one that starts above it.
  const Paragraph* paragraph = nullptr;
  for (const Paragraph& candidate : block->paragraphs) {
    if (candidate.cell != cell) continue;
    if (paragraph == nullptr || candidate.top <= y) paragraph = &candidate;
  }
  if (paragraph == nullptr) paragraph = &block->paragraphs.front();
  if (paragraph->positions.empty()) return paragraph->start;
  const size_t glyph = GlyphAt(paragraph->layout, x - paragraph->left, y - paragraph->top);
  return paragraph->positions[std::min(glyph, paragraph->positions.size() - 1)];
}

void DocumentView::MoveCaret(long pos, bool extend) {
  const long length = document_.story().Length();
  pos = std::clamp(pos, 0L, std::max(0L, length - 1));
  if (!extend) anchor_ = pos;
  document_.selection().SetRange(std::min(anchor_, pos), std::max(anchor_, pos));
  EnsureCaretVisible();
  viewport()->update();
  emit caretMoved();
}

void DocumentView::MoveVertically(bool down, bool extend) {
  const long caret = Caret();
  EnsureCaretVisible();
  for (int attempt = 0; attempt < 2; ++attempt) {
    const Paragraph* paragraph = nullptr;
    size_t glyph = 0;
    if (!FindCaret(caret, paragraph, glyph)) return;
    const ParagraphLayout& layout = paragraph->layout;
    const size_t line = LineOfGlyph(layout, glyph);
    const float x = paragraph->left + layout.x[glyph];
    // Another line of the same paragraph, else the paragraph before or after it.
    if (down ? line + 1 < layout.lines.size() : line > 0) {
      const LayoutLine& target = layout.lines[down ? line + 1 : line - 1];
      const size_t at = GlyphAt(layout, x - paragraph->left, target.top + target.height / 2);
      MoveCaret(paragraph->positions[at], extend);
      return;
    }
    std::vector<const Paragraph*> order;
    for (const Block& block : Visible())
      for (const Paragraph& candidate : block.paragraphs) order.push_back(&candidate);
    const auto here =
        static_cast<size_t>(std::find(order.begin(), order.end(), paragraph) - order.begin());
    const Paragraph* next = down ? (here + 1 < order.size() ? order[here + 1] : nullptr)
                                 : (here > 0 ? order[here - 1] : nullptr);
    if (next != nullptr && !next->positions.empty()) {
      const LayoutLine& target = down ? next->layout.lines.front() : next->layout.lines.back();
      const size_t at = GlyphAt(next->layout, x - next->left, target.top + target.height / 2);
      MoveCaret(next->positions[std::min(at, next->positions.size() - 1)], extend);
      return;
    }
    // The paragraph to go to is out of sight: bring one more block in, then try again.
    QScrollBar* bar = verticalScrollBar();
    const size_t first = BlockStart(static_cast<size_t>(bar->value()));
    if (down) {
      if (Visible().size() < 2) return;
      bar->setValue(static_cast<int>(Visible()[1].first));
    } else {
      if (first == 0) return;
      bar->setValue(static_cast<int>(BlockStart(first - 1)));
    }
  }
}

void DocumentView::EnsureCaretVisible() {
  const docx::Story& story = document_.story();
  if (story.UnitCount() == 0) return;
  const long caret = std::clamp(Caret(), 0L, std::max(0L, story.Length() - 1));
  const size_t block = BlockStart(story.UnitAt(caret));
  QScrollBar* bar = verticalScrollBar();
  const size_t first = BlockStart(static_cast<size_t>(bar->value()));
  const auto height = static_cast<float>(viewport()->height());
  if (block < first) {
    bar->setValue(static_cast<int>(block));
  } else if (block > first) {
    bool inSight = false;
    for (const Block& shown : Visible())
      inSight |= shown.first == block && shown.top + shown.height <= height;
    if (!inSight) {
      // Out of sight below: the caret's block goes to the bottom of the view.
      EnsureLabels();
      float used = kTop + LayOutBlock(block, 0).height;
      size_t top = block;
      while (top > 0) {
        const size_t previous = BlockStart(top - 1);
        const float more = LayOutBlock(previous, 0).height;
        if (used + more > height) break;
        used += more;
        top = previous;
      }
      bar->setValue(static_cast<int>(top));
    }
  }
  // A block taller than the view moves up or down under it until the caret's line shows.
  const Paragraph* paragraph = nullptr;
  size_t glyph = 0;
  if (BlockStart(static_cast<size_t>(bar->value())) != block || !FindCaret(caret, paragraph, glyph))
    return;
  const LayoutLine& line = paragraph->layout.lines[LineOfGlyph(paragraph->layout, glyph)];
  const float top = paragraph->top + line.top, bottom = top + line.height;
  if (bottom > height) {
    offset_ += static_cast<int>(std::ceil(bottom - height + kTop));
  } else if (top < 0) {
    offset_ = std::max(0, offset_ + static_cast<int>(std::floor(top - kTop)));
  }
}

bool DocumentView::Edit(const std::function<void()>& edit, Keeps keeps) {
  const docx::Story& story = document_.story();
  const bool labelsCurrent = labelsGeneration_ == story.Generation();
  const bool notesCurrent = notesGeneration_ == story.Generation();
  const size_t units = story.UnitCount();
  try {
    edit();
  } catch (const host::HostError& e) {
    if (reportRefusal) reportRefusal(e.Description());
    viewport()->update();
    return false;
  }
  // What the edit cannot have changed is not read again (each is a walk over the whole
  // document).
  if (keeps.labels && labelsCurrent && units == story.UnitCount())
    labelsGeneration_ = story.Generation();
  if (keeps.notes && notesCurrent) notesGeneration_ = story.Generation();
  anchor_ = document_.selection().End();
  document_.selection().SetRange(anchor_, anchor_);
  UpdateScrollRange();
  EnsureCaretVisible();
  viewport()->update();
  emit caretMoved();
  return true;
}

bool DocumentView::Type(const std::string& text) {
  const docx::Selection& selection = document_.selection();
  // Typing at an insertion point removes nothing; a new paragraph needs its label.
  const bool collapsed = selection.Start() == selection.End();
  return Edit([&] { document_.selection().TypeText(text); },
              {collapsed && text.find_first_of("\r\n") == std::string::npos, collapsed});
}

bool DocumentView::Remove(bool forward) {
  docx::Selection& selection = document_.selection();
  const docx::Story& story = document_.story();
  long start = selection.Start(), end = selection.End();
  if (start == end) (forward ? end : start) += forward ? 1 : -1;
  start = std::clamp(start, 0L, story.Length());
  end = std::clamp(end, start, story.Length());
  // The labels stay when only characters of one paragraph go (no mark, no field mark, no
  // object); the note numbers stay unless an object (a note reference) goes.
  const std::string removed = docx::StoryText(story, start, end);
  const bool noObject = removed.find("\xEF\xBF\xBC") == std::string::npos;
  const bool textOnly = noObject && std::none_of(removed.begin(), removed.end(), [](char c) {
                          return static_cast<unsigned char>(c) < 0x20 && c != '\t';
                        });
  return Edit(
      [&] {
        if (selection.Start() == selection.End()) {
          if (forward) {
            selection.MoveRight(host::wdCharacter, 1, host::wdExtend);
          } else {
            selection.MoveLeft(host::wdCharacter, 1, host::wdExtend);
          }
        }
        selection.SetText("");
      },
      {textOnly, noObject});
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
  docx::Selection& selection = document_.selection();
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const long caret = Caret();
  switch (event->key()) {
    case Qt::Key_Left:
      MoveCaret(caret - 1, extend);
      return;
    case Qt::Key_Right:
      MoveCaret(caret + 1, extend);
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
      MoveVertically(event->key() == Qt::Key_Down, extend);
      return;
    case Qt::Key_Home:
    case Qt::Key_End: {
      EnsureCaretVisible();
      const Paragraph* paragraph = nullptr;
      size_t glyph = 0;
      if (!FindCaret(caret, paragraph, glyph)) return;
      const LayoutLine& line = paragraph->layout.lines[LineOfGlyph(paragraph->layout, glyph)];
      if (line.begin == line.end) return;
      MoveCaret(paragraph->positions[event->key() == Qt::Key_Home ? line.begin : line.end - 1],
                extend);
      return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Edit([&] { selection.TypeParagraph(); }, {false, selection.Start() == selection.End()});
      return;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      Remove(event->key() == Qt::Key_Delete);
      return;
    default:
      break;
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.at(0).isPrint()) {
    Type(text.toStdString());
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
  setFocus();
  MoveCaret(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) MoveCaret(PositionAt(event->position().toPoint()), true);
}

void DocumentView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void DocumentView::scrollContentsBy(int, int) {
  offset_ = 0;
  viewport()->update();
}

}  // namespace quillon::wordhost
