// The grid combo box on screen: a Qt widget over a MartenComboBox model with its rounded
// border, the edit box txtEdit, the drop-down button, and the drop-down list window picList
// shown top-most below (or above) the control. Input goes through MartenComboBoxInput.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "widgets/MartenComboBox.h"
#include "widgets/MartenComboBoxInput.h"

class QLineEdit;
class QScrollBar;

namespace quillon::widgets::qt {

class MartenComboBoxWidget;

// The drop-down list window: a frameless top-most window that draws the heading row and the
// rows with the list font.
class ComboDropDownList : public QWidget {
  Q_OBJECT

 public:
  explicit ComboDropDownList(MartenComboBoxWidget& owner);
  // The row under y in the list's coordinates, -1 for none (heading, past the rows).
  int32_t RowAt(int y) const;
  int HeaderHeight() const;
  QScrollBar* verticalBar() const { return vbar_; }
  void SyncBar();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  MartenComboBoxWidget& owner_;
  QScrollBar* vbar_;
  bool pressedOnRow_ = false;
};

class MartenComboBoxWidget : public QWidget {
  Q_OBJECT

 public:
  // Width of the drop-down button.
  static constexpr int kButtonWidth = 17;

  explicit MartenComboBoxWidget(QWidget* parent = nullptr);
  ~MartenComboBoxWidget() override;

  MartenComboBox& model() { return combo_; }
  MartenComboBoxInput& input() { return input_; }
  QLineEdit* txtEdit() const { return txtEdit_; }
  ComboDropDownList* picList() const { return picList_; }

  // Opens or closes the drop-down (as the button does).
  void OpenList();
  void CloseList(bool take);
  bool IsOpen() const { return input_.IsOpen(); }
  bool IsHot() const { return hot_; }
  // The row metrics for the list font.
  ComboRowMetrics RowMetrics() const;
  // The drop-down button's rectangle.
  QRect ButtonRect() const;
  // Milliseconds since the control was created (the clock of the release rule).
  int64_t Now() const { return clock_.elapsed(); }
  // One tick of the release timer with the given pointer state (global position).
  void ReleaseTick(bool buttonDown, const QPoint& globalPointer);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class ComboDropDownList;
  // Runs a key through KeyDown and the key rules; returns whether it was consumed.
  bool HandleKey(int16_t keyCode, int16_t shift);
  void OnTextEdited(const QString& text);
  void SyncEditBox();
  void UpdateShape();

  MartenComboBox combo_;
  MartenComboBoxInput input_;
  QLineEdit* txtEdit_;
  ComboDropDownList* picList_;
  QTimer tmrRelease_;
  QElapsedTimer clock_;
  bool hot_ = false;
  bool deleting_ = false;  // the last key deleted text: no autocomplete for it
  QPointer<QWidget> watchedWindow_;
};

}  // namespace quillon::widgets::qt
