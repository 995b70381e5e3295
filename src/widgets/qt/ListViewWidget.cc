#include "widgets/qt/ListViewWidget.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>
#include <algorithm>

#include "widgets/qt/QtConversions.h"
#include "widgets/qt/QtSystemColors.h"

namespace quillon::widgets::qt {
namespace {

constexpr int kDragInterval = 50;  // milliseconds between drag-timer ticks

QColor SystemColor(int index) {
  return ToQColor(DesktopSystemColors().Lookup(index));
}

QColor ColorOf(const Color& color) {
  const QColor c = ToQColor(color.RGBColor());
  return c.isValid() ? c : QColor(Qt::black);
}

QFont DrawingFont(const ListView& list) {
  const Font& f = list.Properties().Font;
  QFont font(QString::fromStdString(f.Name));
  font.setPixelSize(std::max(list.FontTextHeight(), 1));
  font.setWeight(f.Bold ? QFont::Bold : static_cast<QFont::Weight>(std::clamp(f.Weight, 1, 1000)));
  font.setItalic(f.Italic);
  font.setUnderline(f.Underline);
  font.setStrikeOut(f.Strikethrough);
  return font;
}

// One line, cut with an ellipsis, inside rect shrunk by the paddings.
void DrawCellText(QPainter& p, const QRect& rect, const std::string& text, int32_t align,
                  int32_t padLeft, int32_t padRight) {
  const QRect inner = rect.adjusted(padLeft, 0, -padRight, 0);
  if (inner.width() <= 0) return;
  const QString elided =
      p.fontMetrics().elidedText(ShownOnOneLine(text), Qt::ElideRight, inner.width());
  p.drawText(inner, static_cast<int>(AlignmentOf(align) | Qt::TextSingleLine), elided);
}

// A raised edge (button) or an etched one (pressed header), like the platform's DrawEdge.
void DrawEdge(QPainter& p, const QRect& r, bool etched, bool left = true, bool right = true) {
  const QColor light = SystemColor(20), face3d = SystemColor(22), shadow = SystemColor(16),
               dark = SystemColor(21);
  auto frame = [&](const QRect& q, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(q.left(), q.top(), q.right(), q.top());
    if (left) p.drawLine(q.left(), q.top(), q.left(), q.bottom());
    p.setPen(bottomRight);
    p.drawLine(q.left(), q.bottom(), q.right(), q.bottom());
    if (right) p.drawLine(q.right(), q.top(), q.right(), q.bottom());
  };
  if (etched) {
    frame(r, shadow, light);
    frame(r.adjusted(1, 1, -1, -1), light, shadow);
  } else {
    frame(r, face3d, dark);
    frame(r.adjusted(1, 1, -1, -1), light, shadow);
  }
}

}  // namespace

int ScreenMetrics::PixelsPerInchY() const {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    return static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
  }
  return 96;
}

namespace {

int LinesPerNotch() {
  return QApplication::instance() ? std::max(QApplication::wheelScrollLines(), 1) : 3;
}

}  // namespace

ListViewWidget::ListViewWidget(QWidget* parent)
    : QWidget(parent),
      list_(metrics_, DesktopSystemColors()),
      bars_(LinesPerNotch()),
      input_(list_, bars_),
      vbar_(new QScrollBar(Qt::Vertical, this)),
      hbar_(new QScrollBar(Qt::Horizontal, this)) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  list_.SetObserver(this);
  dragTimer_.setInterval(kDragInterval);
  connect(&dragTimer_, &QTimer::timeout, this, &ListViewWidget::DragTick);
  connect(vbar_, &QScrollBar::actionTriggered, this,
          [this](int action) { OnBarAction(ScrollBarKind::kVertical, action); });
  connect(hbar_, &QScrollBar::actionTriggered, this,
          [this](int action) { OnBarAction(ScrollBarKind::kHorizontal, action); });
  // The list repaints from the new first row or offset whenever a bar reports a move.
  bars_.events().Scroll = [this](ScrollBarKind) { update(); };
  bars_.events().Change = [this](ScrollBarKind) { update(); };
  RelayoutNow();
}

ListViewWidget::~ListViewWidget() {
  list_.SetObserver(nullptr);
}

void ListViewWidget::Refresh() {
  RelayoutNow();
}

void ListViewWidget::MakeSureVisible(int32_t item, int32_t column) {
  input_.MakeSureVisible(item, column);
  SyncBars();
  update();
}

int32_t ListViewWidget::ColumnFromPoint(int32_t x) const {
  return widgets::ColumnFromPoint(list_, input_.HorizontalOffset(), x);
}

int32_t ListViewWidget::RowFromPoint(int32_t y) const {
  return widgets::RowFromPoint(input_.Layout(), input_.FirstRow(), y);
}

std::optional<PixelRect> ListViewWidget::GetItemRect(int32_t column, int32_t item) const {
  return widgets::GetItemRect(list_, input_.Layout(), input_.FirstRow(), input_.HorizontalOffset(),
                              column, item);
}

// ---- model notifications ----

void ListViewWidget::Relayout() {
  RelayoutNow();
}

void ListViewWidget::ItemsChanged() {
  input_.UpdateScrollbars();
  SyncBars();
  update();
}

void ListViewWidget::Repaint() {
  update();
}

void ListViewWidget::RelayoutNow() {
  const int barWidth = vbar_->sizeHint().width();
  const int barHeight = hbar_->sizeHint().height();
  input_.Relayout(width(), height(), barWidth, barHeight);
  SyncBars();
  update();
}

void ListViewWidget::SyncBars() {
  syncing_ = true;
  const ListViewLayout& layout = input_.Layout();
  const int barWidth = vbar_->sizeHint().width();
  const int barHeight = hbar_->sizeHint().height();
  const ScrollBar& v = bars_.Bar(ScrollBarKind::kVertical);
  const ScrollBar& h = bars_.Bar(ScrollBarKind::kHorizontal);
  vbar_->setGeometry(layout.clientWidth, 0, barWidth, height() - (h.Visible ? barHeight : 0));
  vbar_->setRange(v.Min, v.Max);
  vbar_->setSingleStep(v.SmallChange);
  vbar_->setPageStep(v.LargeChange);
  vbar_->setValue(v.Value);
  vbar_->setEnabled(v.Enabled && isEnabled());
  vbar_->setVisible(v.Visible);
  hbar_->setGeometry(0, height() - barHeight, layout.clientWidth, barHeight);
  hbar_->setRange(h.Min, h.Max);
  hbar_->setSingleStep(h.SmallChange);
  hbar_->setPageStep(h.LargeChange);
  hbar_->setValue(h.Value);
  hbar_->setEnabled(h.Enabled && isEnabled());
  hbar_->setVisible(h.Visible);
  syncing_ = false;
}

void ListViewWidget::OnBarAction(ScrollBarKind kind, int action) {
  if (syncing_) return;
  QScrollBar* bar = kind == ScrollBarKind::kVertical ? vbar_ : hbar_;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      bars_.Action(kind, ScrollAction::kLineUp);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      bars_.Action(kind, ScrollAction::kLineDown);
      break;
    case QAbstractSlider::SliderPageStepSub:
      bars_.Action(kind, ScrollAction::kPageUp);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      bars_.Action(kind, ScrollAction::kPageDown);
      break;
    case QAbstractSlider::SliderToMinimum:
      bars_.Action(kind, ScrollAction::kTop);
      break;
    case QAbstractSlider::SliderToMaximum:
      bars_.Action(kind, ScrollAction::kBottom);
      break;
    case QAbstractSlider::SliderMove:
      bars_.Action(kind,
                   bar->isSliderDown() ? ScrollAction::kThumbTrack : ScrollAction::kThumbPosition,
                   bar->sliderPosition());
      break;
    default:
      return;
  }
  // The bar shows the value the rules gave, not the one it computed itself.
  bar->setSliderPosition(bars_.Bar(kind).Value);
}

// ---- painting ----

const QImage& ListViewWidget::RenderSurface() {
  PaintSurface();
  return surface_;
}

void ListViewWidget::paintEvent(QPaintEvent*) {
  if (list_.Redraw()) PaintSurface();
  QPainter window(this);
  window.drawImage(0, 0, surface_);
  // The square between the two bars.
  const ScrollBar& h = bars_.Bar(ScrollBarKind::kHorizontal);
  if (h.Visible) {
    window.fillRect(QRect(vbar_->x(), hbar_->y(), width() - vbar_->x(), height() - hbar_->y()),
                    SystemColor(15));
  }
}

void ListViewWidget::PaintSurface() {
  const ListViewLayout& layout = input_.Layout();
  const QSize size(std::max(layout.clientWidth, 1), std::max(layout.clientHeight, 1));
  if (surface_.size() != size) surface_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  ++paintCount_;

  const ListViewProperties& props = list_.Properties();
  const int32_t offset = input_.HorizontalOffset();
  const int32_t first = input_.FirstRow();
  const bool autoSize = props.ColumnsAutoSize;
  const QColor buttonFace = SystemColor(15), buttonText = SystemColor(18);
  const int32_t firstColumn = FirstVisibleColumn(list_);
  const bool pictures = ShowsPictures(list_);

  struct PendingPicture {
    int32_t index, x, y;
  };
  std::vector<PendingPicture> pendingPictures;

  QPainter p(&surface_);
  p.setFont(DrawingFont(list_));

  // Header band.
  if (props.ColumnsVisible) {
    int32_t x = -offset;
    for (int32_t c = 0; c < list_.ColumnCount(); ++c) {
      const Column& col = list_.ColumnAt(c);
      if (!col.Visible) continue;
      const int32_t w = ShownWidth(col, autoSize);
      if (w > 0 && x + w > 0 && x < layout.clientWidth) {
        const QRect r(x, 0, w, layout.headerHeight);
        p.fillRect(r, buttonFace);
        DrawEdge(p, r, col.Pushed);
        p.setPen(buttonText);
        if (w > props.ItemPaddingLeft + props.ItemPaddingRight) {
          DrawCellText(p, r, col.Caption, col.TextAlign, props.ItemPaddingLeft,
                       props.ItemPaddingRight);
        }
      }
      x += w;
    }
    if (x < layout.clientWidth) {
      const QRect rest(x, 0, layout.clientWidth - x + 2, layout.headerHeight);
      p.fillRect(rest, buttonFace);
      DrawEdge(p, rest, false, true, false);
    }
  }

  // Rows: only those between the first visible row and the bottom of the item area.
  const int32_t rowHeight = layout.itemHeight;
  int32_t top = layout.itemTop;
  int32_t item = first;
  ICustomDraw& callback = list_.DrawCallback();
  for (; item < list_.ItemCount() && top < layout.clientHeight; ++item, top += rowHeight) {
    const ListItem& it = list_.Items().Item(item);
    int32_t x = -offset;
    for (int32_t c = 0; c < list_.ColumnCount(); ++c) {
      const Column& col = list_.ColumnAt(c);
      if (!col.Visible) continue;
      const int32_t w = ShownWidth(col, autoSize);
      const QRect cell(x, top, w, rowHeight);
      x += w;
      if (cell.right() < 0 || cell.left() >= layout.clientWidth) continue;
      int32_t back = -1, fore = -1;
      bool handled = false;
      callback.CustomDraw(item, c, back, fore, handled);
      if (handled) continue;
      const QColor background =
          back != -1 ? ToQColor(back)
                     : ColorOf(it.Selected ? list_.SelectedBackColor() : list_.BackColor());
      const QColor text =
          fore != -1 ? ToQColor(fore)
                     : ColorOf(it.Selected ? list_.SelectedForeColor() : list_.ForeColor());
      p.fillRect(cell, background);
      int32_t textLeft = props.ItemPaddingLeft;
      if (c == firstColumn) {
        if (pictures && it.PictureIndex >= 1 && it.PictureIndex <= list_.PictureCount()) {
          pendingPictures.push_back({it.PictureIndex, cell.left() + kPictureLeft,
                                     PictureTop(top, rowHeight, props.PictureHeight)});
        }
        if (props.Checkboxes) {
          const QColor boxColor =
              ColorOf(it.Selected ? list_.CheckboxSelectedColor() : list_.CheckBoxColor());
          const int32_t bx = cell.left() + CheckBoxLeft(list_);
          const int32_t by = top + (rowHeight - kCheckBoxSize) / 2;
          p.setPen(boxColor);
          p.setBrush(Qt::NoBrush);
          p.drawRect(bx, by, kCheckBoxSize - 1, kCheckBoxSize - 1);
          if (it.Checked) {
            QPen mark(boxColor, 2);
            p.setPen(mark);
            p.drawLine(bx + 3, by + 6, bx + 5, by + 8);
            p.drawLine(bx + 5, by + 8, bx + 9, by + 3);
          }
        }
        textLeft = TextStart(list_);
      }
      p.setPen(text);
      DrawCellText(p, cell, it.Text[static_cast<size_t>(c)], col.TextAlign, textLeft,
                   props.ItemPaddingRight);
    }
    // Past the last column the row keeps its background.
    if (x < layout.clientWidth) {
      p.fillRect(QRect(x, top, layout.clientWidth - x, rowHeight),
                 ColorOf(it.Selected ? list_.SelectedBackColor() : list_.BackColor()));
    }
  }
  // Below the last row.
  if (top < layout.clientHeight) {
    p.fillRect(QRect(0, top, layout.clientWidth, layout.clientHeight - top),
               ColorOf(list_.BackColor()));
  }
  p.end();

  // Pictures through the image class, straight onto the surface's pixels.
  if (!pendingPictures.empty()) {
    Surface32 target{surface_.bits(), surface_.width(), surface_.height(),
                     static_cast<int32_t>(surface_.bytesPerLine())};
    for (const PendingPicture& pic : pendingPictures) {
      list_.Picture(pic.index).Render(target, pic.x, pic.y, props.PictureWidth,
                                      props.PictureHeight);
    }
  }

  // Focus on the current item.
  const int32_t current = list_.SelectedItem();
  if (current >= first && current < item && hasFocus() && isEnabled() && props.Enabled) {
    QPainter f(&surface_);
    const int32_t rowTop = layout.itemTop + (current - first) * rowHeight;
    const QRect row(-offset, rowTop, layout.rowWidth, rowHeight);
    if (props.SolidFocusRect) {
      f.setPen(ColorOf(list_.FocusRectColor()));
      f.setBrush(Qt::NoBrush);
      f.drawRect(row.adjusted(0, 0, -1, -1));
    } else {
      QPen dotted(ColorOf(list_.ForeColor()), 1, Qt::DotLine);
      f.setPen(dotted);
      f.drawRect(row.adjusted(0, 0, -1, -1));
    }
  }
}

// ---- input ----

bool ListViewWidget::Accepting() const {
  return isEnabled() && list_.Properties().Enabled;
}

void ListViewWidget::resizeEvent(QResizeEvent*) {
  list_.SetWidth(width());
  RelayoutNow();
}

void ListViewWidget::mousePressEvent(QMouseEvent* event) {
  if (!Accepting()) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint pos = event->position().toPoint();
  lastPointer_ = pos;
  input_.MouseDown(MouseButtonOf(event->button()), ShiftOf(event->modifiers()), pos.x(), pos.y());
  if (input_.DragTimerWanted()) dragTimer_.start();
  update();
}

void ListViewWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  lastPointer_ = pos;
  if (Accepting()) input_.MouseMove(ShiftOf(event->modifiers()), pos.x(), pos.y());
  setCursor(input_.SizingCursorAt(pos.x(), pos.y()) || input_.state() == ListViewInput::kResizing
                ? Qt::SizeHorCursor
                : Qt::ArrowCursor);
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  dragTimer_.stop();
  if (!Accepting()) return;
  const QPoint pos = event->position().toPoint();
  input_.MouseUp(MouseButtonOf(event->button()), ShiftOf(event->modifiers()), pos.x(), pos.y());
  update();
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!Accepting()) return;
  // The second press of a double click acts like a press, then the double click follows.
  mousePressEvent(event);
  input_.DoubleClick();
}

void ListViewWidget::wheelEvent(QWheelEvent* event) {
  if (!Accepting()) return;
  const bool horizontal = event->angleDelta().x() != 0 && event->angleDelta().y() == 0;
  const ScrollBarKind kind = horizontal ? ScrollBarKind::kHorizontal : ScrollBarKind::kVertical;
  bars_.Wheel(kind, horizontal ? event->angleDelta().x() : event->angleDelta().y());
  SyncBars();
  event->accept();
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
  if (!Accepting()) return;
  const int16_t shift = ShiftOf(event->modifiers());
  bool used = input_.KeyDown(KeyCodeOf(event->key()), shift);
  if (!event->text().isEmpty()) {
    const int16_t ascii = list_.RaiseKeyPress(static_cast<int16_t>(event->text().at(0).unicode()));
    used = used || ascii == 0;
  }
  SyncBars();
  update();
  if (!used) event->ignore();
}

void ListViewWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!Accepting()) return;
  list_.RaiseKeyUp(KeyCodeOf(event->key()), ShiftOf(event->modifiers()));
}

void ListViewWidget::focusInEvent(QFocusEvent*) {
  update();
}

void ListViewWidget::focusOutEvent(QFocusEvent*) {
  update();
}

void ListViewWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange ||
      event->type() == QEvent::ThemeChange) {
    list_.UpdateColors();
  } else if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) {
    RelayoutNow();
  }
  QWidget::changeEvent(event);
}

void ListViewWidget::DragTick() {
  if (!input_.DragTimerWanted()) {
    dragTimer_.stop();
    return;
  }
  const QPoint pos = mapFromGlobal(QCursor::pos());
  if (input_.DragTimerTick(pos.x(), pos.y())) {
    SyncBars();
    update();
  }
}

}  // namespace quillon::widgets::qt
