#include "wordhost/app/DocumentView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::wordhost {
namespace {

constexpr int kMargin = 24;

class AllFields : public docx::FieldDisplay {
 public:
  explicit AllFields(bool codes) : codes_(codes) {}
  bool ShowsCode(pugi::xml_node) const override { return codes_; }

 private:
  bool codes_;
};

}  // namespace

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

void DocumentView::SetShowCodes(bool codes) {
  showCodes_ = codes;
  viewport()->update();
}

void DocumentView::Refresh() {
  UpdateScrollRange();
  viewport()->update();
  emit caretMoved();
}

int DocumentView::LineHeight() const {
  return fontMetrics().height() + 6;
}

void DocumentView::UpdateScrollRange() {
  const int lines = static_cast<int>(document_.story().UnitCount());
  verticalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setPageStep(std::max(1, viewport()->height() / LineHeight()));
  verticalScrollBar()->setRange(0, std::max(0, lines - verticalScrollBar()->pageStep()));
}

DocumentView::Line DocumentView::LineOf(size_t unit) const {
  const docx::Story& story = document_.story();
  Line line;
  line.start = story.UnitStart(unit);
  line.end = line.start + story.UnitLength(unit);
  AllFields display(showCodes_);
  docx::ShownCharacters(story, line.start, line.end, display, line.text, line.positions);
  return line;
}

void DocumentView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const docx::Story& story = document_.story();
  const int height = LineHeight();
  const size_t first = static_cast<size_t>(verticalScrollBar()->value());
  const size_t count = static_cast<size_t>(viewport()->height() / height + 2);
  const size_t last = std::min(story.UnitCount(), first + count);
  painted_ = {first, last};
  const docx::Selection& selection = document_.selection();
  const long selStart = selection.Start(), selEnd = selection.End();
  const QFontMetrics metrics = fontMetrics();

  // Field spans that touch the visible text, for the shading.
  std::vector<std::pair<long, long>> fields;
  if (first < last) {
    const long from = story.UnitStart(first);
    const long to = story.UnitStart(last - 1) + story.UnitLength(last - 1);
    const docx::FieldIndex& index = document_.fieldIndex();
    for (size_t i = index.LowerBound(from, story); i < index.Count(); ++i) {
      const long begin = index.BeginOf(*index.At(i), story);
      if (begin >= to) break;
      fields.push_back({begin, index.EndOf(*index.At(i), story)});
    }
  }
  auto inField = [&](long pos) {
    for (const auto& [b, e] : fields)
      if (pos >= b && pos <= e) return true;
    return false;
  };

  for (size_t unit = first; unit < last; ++unit) {
    const Line line = LineOf(unit);
    const int top = static_cast<int>(unit - first) * height;
    const int baseline = top + 3 + metrics.ascent();
    int x = kMargin;
    const bool cell = story.KindOf(unit) != docx::UnitKind::kParagraph;
    if (cell)
      painter.setPen(QColor(200, 200, 200)),
          painter.drawLine(0, top + height - 1, viewport()->width(), top + height - 1);
    for (size_t i = 0; i < line.text.size(); ++i) {
      const char32_t c = line.text[i];
      const long pos = line.positions[i];
      if (pos == selection.End() && selStart == selEnd && hasFocus()) {
        painter.fillRect(x, top + 2, 1, height - 4, Qt::black);
      }
      if (c == U'\r' || c == U'\a') continue;
      const QString glyph = c == U'\t' ? QStringLiteral("    ") : QString::fromUcs4(&c, 1);
      const int w = metrics.horizontalAdvance(glyph);
      if (pos >= selStart && pos < selEnd) {
        painter.fillRect(x, top + 1, w, height - 2, QColor(51, 153, 255));
        painter.setPen(Qt::white);
      } else {
        if (inField(pos)) painter.fillRect(x, top + 1, w, height - 2, QColor(220, 220, 220));
        painter.setPen(Qt::black);
      }
      painter.drawText(x, baseline, glyph);
      x += w;
    }
  }
}

long DocumentView::PositionAt(const QPoint& point) const {
  const docx::Story& story = document_.story();
  if (story.UnitCount() == 0) return 0;
  size_t unit = static_cast<size_t>(verticalScrollBar()->value()) +
                static_cast<size_t>(std::max(0, point.y()) / LineHeight());
  unit = std::min(unit, story.UnitCount() - 1);
  const Line line = LineOf(unit);
  const QFontMetrics metrics = fontMetrics();
  int x = kMargin;
  for (size_t i = 0; i < line.text.size(); ++i) {
    const char32_t c = line.text[i];
    if (c == U'\r' || c == U'\a') return line.positions[i];
    const QString glyph = c == U'\t' ? QStringLiteral("    ") : QString::fromUcs4(&c, 1);
    const int w = metrics.horizontalAdvance(glyph);
    if (point.x() < x + w / 2) return line.positions[i];
    x += w;
  }
  return line.end > line.start ? line.end - 1 : line.start;
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

void DocumentView::EnsureCaretVisible() {
  const docx::Story& story = document_.story();
  const int unit = static_cast<int>(story.UnitAt(document_.selection().End()));
  QScrollBar* bar = verticalScrollBar();
  if (unit < bar->value()) bar->setValue(unit);
  if (unit >= bar->value() + bar->pageStep()) bar->setValue(unit - bar->pageStep() + 1);
}

bool DocumentView::Edit(const std::function<void()>& edit) {
  try {
    edit();
  } catch (const host::HostError& e) {
    if (reportRefusal) reportRefusal(e.Description());
    viewport()->update();
    return false;
  }
  anchor_ = document_.selection().End();
  document_.selection().SetRange(anchor_, anchor_);
  UpdateScrollRange();
  EnsureCaretVisible();
  viewport()->update();
  emit caretMoved();
  return true;
}

bool DocumentView::Type(const std::string& text) {
  return Edit([&] { document_.selection().TypeText(text); });
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
  docx::Selection& selection = document_.selection();
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const long caret = selection.End() == anchor_ ? selection.Start() : selection.End();
  switch (event->key()) {
    case Qt::Key_Left:
      MoveCaret(caret - 1, extend);
      return;
    case Qt::Key_Right:
      MoveCaret(caret + 1, extend);
      return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
      const docx::Story& story = document_.story();
      const size_t unit = story.UnitAt(caret);
      const long column = caret - story.UnitStart(unit);
      const size_t target = event->key() == Qt::Key_Up ? (unit == 0 ? 0 : unit - 1)
                                                       : std::min(unit + 1, story.UnitCount() - 1);
      MoveCaret(story.UnitStart(target) + std::min(column, story.UnitLength(target) - 1), extend);
      return;
    }
    case Qt::Key_Home:
      MoveCaret(document_.story().UnitStart(document_.story().UnitAt(caret)), extend);
      return;
    case Qt::Key_End: {
      const size_t unit = document_.story().UnitAt(caret);
      MoveCaret(document_.story().UnitStart(unit) + document_.story().UnitLength(unit) - 1, extend);
      return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Edit([&] { selection.TypeParagraph(); });
      return;
    case Qt::Key_Backspace:
      Edit([&] {
        if (selection.Start() == selection.End())
          selection.MoveLeft(host::wdCharacter, 1, host::wdExtend);
        selection.SetText("");
      });
      return;
    case Qt::Key_Delete:
      Edit([&] {
        if (selection.Start() == selection.End())
          selection.MoveRight(host::wdCharacter, 1, host::wdExtend);
        selection.SetText("");
      });
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
  viewport()->update();
}

}  // namespace quillon::wordhost
