// The document as it reads: paragraphs wrapped to the view's width in their run formatting
// (headings by their styles), list labels and note reference numbers, tables as grids of
// cells, page boundaries as rules, fields shaded and shown by their results (or by their
// codes); a caret and a selection, and the editing keys. Only the blocks in sight are laid
// out, from the document model at paint time; the scroll range counts story units, a cheap
// estimate that needs no layout of the rest.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QFontMetricsF>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "wordhost/docx/ListLabels.h"
#include "wordhost/docx/RunFormat.h"

namespace pugi {
struct xml_node_struct;
}

namespace quillon::docx {
class Document;
}

namespace quillon::wordhost {

class DocumentView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // document (not owned) outlives the view.
  explicit DocumentView(docx::Document& document, QWidget* parent = nullptr);
  ~DocumentView() override;

  // Shows every field by its code (true) or by its result.
  void SetShowCodes(bool codes);
  bool ShowCodes() const { return showCodes_; }
  // Re-reads the document (after a change made elsewhere) and repaints.
  void Refresh();
  // Types text at the caret (replacing the selection). Returns false, having told the user
  // through reportRefusal, when the document refused the edit.
  bool Type(const std::string& text);
  // The story units [first, end) of the blocks laid out for the last paint.
  std::pair<size_t, size_t> PaintedUnits() const { return painted_; }
  // Returns the story position that a click at point (viewport coordinates) puts the caret
  // before.
  long PositionAt(const QPoint& point);
  // Returns where the caret of a collapsed selection is drawn (viewport coordinates), or an
  // empty rectangle when it is out of sight.
  QRect CaretRect();

  // Called with the host's message when an edit was refused.
  std::function<void(const std::string&)> reportRefusal;

 signals:
  // The caret or the selection moved, or the text changed.
  void caretMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  struct Font {
    QFont font;
    QFontMetricsF metrics;
    float rise = 0;  // how far the baseline goes up (superscript) or down (subscript, < 0)
    std::unordered_map<char32_t, float> advances;
  };
  struct Paragraph;
  struct Block;
  using FormatKey = std::tuple<int, bool, bool, bool, bool, bool, bool>;

  // The blocks in sight from the scroll position, laid out anew when the document, the width,
  // the scroll position or the field display changed since the last call.
  const std::vector<Block>& Visible();
  Block LayOutBlock(size_t unit, float top);
  void LayOutParagraph(size_t unit, float left, float top, float width, Paragraph& out);
  uint16_t FontOf(const docx::RunFormat& format);
  float Advance(uint16_t font, char32_t ch);
  // Returns the first unit of the block (a body paragraph or a table row) holding unit.
  size_t BlockStart(size_t unit) const;
  // Reads the list labels and the note numbers of the whole document anew, each when it is no
  // longer known to be true.
  void EnsureLabels();
  // The caret's glyph: its paragraph in visible blocks and its index there; false when the
  // caret is out of sight.
  bool FindCaret(long caret, const Paragraph*& paragraph, size_t& glyph);
  long Caret() const;
  void MoveCaret(long pos, bool extend);
  void MoveVertically(bool down, bool extend);
  void EnsureCaretVisible();
  void UpdateScrollRange();
  // What an edit leaves as it was: the list labels (it only types or removes characters within
  // one paragraph: no mark, no field mark, no object), the note numbers (it adds and removes no
  // object; paragraphs split or joined keep their elements).
  struct Keeps {
    bool labels = false;
    bool notes = false;
  };
  // Runs edit, then shows its outcome.
  bool Edit(const std::function<void()>& edit, Keeps keeps);
  // Removes the selection, or the character after (forward) or before the caret.
  bool Remove(bool forward);
  void PaintParagraph(QPainter& painter, const Paragraph& paragraph, bool body, long& lastPage);

  docx::Document& document_;
  bool showCodes_ = false;
  long anchor_ = 0;
  std::pair<size_t, size_t> painted_{0, 0};

  std::vector<Font> fonts_;
  std::map<FormatKey, uint16_t> fontIndex_;
  std::unordered_map<pugi::xml_node_struct*, docx::ListLabel> labels_;
  std::unordered_map<pugi::xml_node_struct*, std::string> notes_;
  // The story generations the labels and the note numbers are true for.
  uint64_t labelsGeneration_ = ~uint64_t{0};
  uint64_t notesGeneration_ = ~uint64_t{0};

  std::vector<Block> visible_;
  // How far the first block is scrolled up out of the view (pixels): only a block taller than
  // the view is, to show its caret's line.
  int offset_ = 0;
  std::tuple<uint64_t, size_t, int, int, int, bool> visibleKey_{~uint64_t{0}, 0, 0, 0, 0, false};
};

}  // namespace quillon::wordhost
