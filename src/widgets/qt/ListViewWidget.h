// The list view on screen: a Qt widget over a ListView model that lays it out, paints it into
// one off-screen surface copied to the window once per paint, and turns mouse, wheel, key and
// scroll bar input into the model's input rules (ListViewInput) and events.
#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "widgets/ListView.h"
#include "widgets/ListViewInput.h"
#include "widgets/ListViewLayout.h"
#include "widgets/Scrollbars.h"

class QScrollBar;

namespace quillon::widgets::qt {

// The screen's vertical resolution for item heights.
class ScreenMetrics : public DeviceMetrics {
 public:
  int PixelsPerInchY() const override;
};

class ListViewWidget : public QWidget, private ListViewObserver {
  Q_OBJECT

 public:
  explicit ListViewWidget(QWidget* parent = nullptr);
  ~ListViewWidget() override;

  // The model, its input rules and its scroll bars; valid for the widget's lifetime.
  ListView& model() { return list_; }
  ListViewInput& input() { return input_; }
  const ListViewInput& input() const { return input_; }
  Scrollbars& scrollbars() { return bars_; }

  // Lays out and repaints.
  void Refresh();
  // Scrolls item to the top (as far as the range allows) and column into view; repaints.
  void MakeSureVisible(int32_t item, int32_t column);
  // The column under x, -1 past the columns.
  int32_t ColumnFromPoint(int32_t x) const;
  // The row under y (may lie outside the items).
  int32_t RowFromPoint(int32_t y) const;
  // The cell of column and item in widget coordinates; nullopt for a hidden column or an item
  // out of range.
  std::optional<PixelRect> GetItemRect(int32_t column, int32_t item) const;
  int32_t ItemHeight() const { return list_.ItemHeight(); }

  // Paints the client area into the off-screen surface now and returns the surface (the
  // pixels the next paint copies to the window).
  const QImage& RenderSurface();
  // How many times the surface was painted.
  int paintCount() const { return paintCount_; }
  // The scroll bars' widgets.
  QScrollBar* verticalBar() const { return vbar_; }
  QScrollBar* horizontalBar() const { return hbar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // ListViewObserver
  void Relayout() override;
  void ItemsChanged() override;
  void Repaint() override;

  void RelayoutNow();
  void SyncBars();
  void OnBarAction(ScrollBarKind kind, int action);
  void PaintSurface();
  void DragTick();
  bool Accepting() const;

  ScreenMetrics metrics_;
  ListView list_;
  Scrollbars bars_;
  ListViewInput input_;
  QScrollBar* vbar_;
  QScrollBar* hbar_;
  QImage surface_;
  QTimer dragTimer_;
  QPoint lastPointer_;
  int paintCount_ = 0;
  bool syncing_ = false;
};

}  // namespace quillon::widgets::qt
