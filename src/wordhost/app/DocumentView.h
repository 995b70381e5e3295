// The document as it reads: one line per paragraph of the story (fields by their results,
// shaded, or by their codes), a caret and a selection, and the editing keys. Only the lines
// in sight are laid out; everything is read from the document model at paint time.
#pragma once

#include <QAbstractScrollArea>
#include <functional>
#include <string>
#include <vector>

namespace quillon::docx {
class Document;
}

namespace quillon::wordhost {

class DocumentView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // document (not owned) outlives the view.
  explicit DocumentView(docx::Document& document, QWidget* parent = nullptr);

  // Shows every field by its code (true) or by its result.
  void SetShowCodes(bool codes);
  bool ShowCodes() const { return showCodes_; }
  // Re-reads the document (after a change made elsewhere) and repaints.
  void Refresh();
  // Types text at the caret (replacing the selection). Returns false, having told the user
  // through reportRefusal, when the document refused the edit.
  bool Type(const std::string& text);
  // The story unit shown on each visible line, for tests: (first, last) of the last paint.
  std::pair<size_t, size_t> PaintedUnits() const { return painted_; }

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
  struct Line {
    std::u32string text;
    std::vector<long> positions;
    long start = 0, end = 0;
  };
  Line LineOf(size_t unit) const;
  int LineHeight() const;
  long PositionAt(const QPoint& point) const;
  void MoveCaret(long pos, bool extend);
  void EnsureCaretVisible();
  void UpdateScrollRange();
  bool Edit(const std::function<void()>& edit);

  docx::Document& document_;
  bool showCodes_ = false;
  long anchor_ = 0;
  std::pair<size_t, size_t> painted_{0, 0};
};

}  // namespace quillon::wordhost
