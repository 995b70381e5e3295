#include "widgets/qt/MartenComboBoxWidget.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionHeader>
#include <QWheelEvent>
#include <algorithm>

#include "widgets/qt/ListViewWidget.h"
#include "widgets/qt/QtConversions.h"
#include "widgets/qt/QtSystemColors.h"

namespace quillon::widgets::qt {
namespace {

constexpr int kReleaseInterval = 50;  // milliseconds between release-timer checks

QColor Ole(OleColor color) {
  const QColor c = ToQColor(TranslateColor(color, DesktopSystemColors()));
  return c.isValid() ? c : QColor(Qt::black);
}

QFont FontOf(const Font& f) {
  QFont font(QString::fromStdString(f.Name));
  font.setPointSizeF(f.Size > 0 ? f.Size : 8.25);
  font.setBold(f.Bold);
  font.setItalic(f.Italic);
  font.setUnderline(f.Underline);
  font.setStrikeOut(f.Strikethrough);
  return font;
}

bool Themed(const MartenComboBox& combo) {
  return combo.ThemeStyle() == 2 || combo.ThemeStyle() == 3;
}

}  // namespace

// ---- the drop-down list ----

ComboDropDownList::ComboDropDownList(MartenComboBoxWidget& owner)
    : QWidget(&owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      owner_(owner),
      vbar_(new QScrollBar(Qt::Vertical, this)) {
  setObjectName("picList");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (owner_.input_.ScrollTo(value, owner_.Now())) update();
  });
}

int ComboDropDownList::HeaderHeight() const {
  return owner_.combo_.ColumnHeaders() ? owner_.RowMetrics().rowHeight + 4 : 0;
}

int32_t ComboDropDownList::RowAt(int y) const {
  const int top = 1 + HeaderHeight();
  if (y < top) return -1;
  const int32_t row = (y - top) / owner_.RowMetrics().rowHeight + owner_.input_.FirstVisibleRow();
  return row < owner_.combo_.ListCount() ? row : -1;
}

void ComboDropDownList::SyncBar() {
  const MartenComboBox& combo = owner_.combo_;
  const int32_t visible = owner_.input_.VisibleRows();
  const bool needed = combo.ListCount() > visible;
  vbar_->setVisible(needed);
  if (!needed) return;
  const int barWidth = 16;
  vbar_->setGeometry(width() - barWidth - 1, 1 + HeaderHeight(), barWidth,
                     height() - 2 - HeaderHeight());
  QSignalBlocker block(vbar_);
  vbar_->setRange(0, combo.ListCount() - visible);
  vbar_->setPageStep(std::max<int>(combo.PageScrollItems(), 1));
  vbar_->setSingleStep(1);
  vbar_->setValue(owner_.input_.FirstVisibleRow());
}

void ComboDropDownList::paintEvent(QPaintEvent*) {
  const MartenComboBox& combo = owner_.combo_;
  const ComboRowMetrics m = owner_.RowMetrics();
  QPainter p(this);
  p.fillRect(rect(), Ole(combo.BackColor()));
  const QFont listFont = FontOf(combo.DropDownFont());
  p.setFont(listFont);
  const int right = vbar_->isVisible() ? vbar_->x() : width() - 1;
  // Heading row.
  int y = 1;
  if (combo.ColumnHeaders()) {
    const int h = HeaderHeight();
    int x = 1;
    for (int32_t c = 0; c < combo.Cols(); ++c) {
      if (!combo.ColVisible(c)) continue;
      const QRect cell(x, y, combo.ColPixelWidth(c), h);
      if (Themed(combo)) {
        QStyleOptionHeader opt;
        opt.initFrom(this);
        opt.rect = cell;
        opt.text = ShownOnOneLine(combo.ColHeading(c));
        opt.textAlignment = AlignmentOf(combo.ColAlignment(c));
        style()->drawControl(QStyle::CE_Header, &opt, &p, this);
      } else {
        p.fillRect(cell, Ole(combo.BackColorFixed()));
        p.setPen(ToQColor(DesktopSystemColors().Lookup(20)));
        p.drawLine(cell.topLeft(), cell.topRight());
        p.drawLine(cell.topLeft(), cell.bottomLeft());
        p.setPen(ToQColor(DesktopSystemColors().Lookup(16)));
        p.drawLine(cell.bottomLeft(), cell.bottomRight());
        p.drawLine(cell.topRight(), cell.bottomRight());
        p.setPen(Ole(combo.ForeColor()));
        p.drawText(cell.adjusted(3, 0, -3, 0), static_cast<int>(AlignmentOf(combo.ColAlignment(c))),
                   ShownOnOneLine(combo.ColHeading(c)));
      }
      x += combo.ColPixelWidth(c);
    }
    y += h;
  }
  // Rows from the first visible one.
  const ImageList* images = combo.ImageList();
  for (int32_t row = owner_.input_.FirstVisibleRow(); row < combo.ListCount() && y < height() - 1;
       ++row, y += m.rowHeight) {
    const bool highlighted = row == owner_.input_.HighlightedRow();
    const QRect rowRect(1, y, right - 1, m.rowHeight);
    p.fillRect(rowRect, Ole(highlighted ? combo.BackColorSel() : combo.BackColor()));
    int x = 1;
    if (combo.Style() != MartenComboBox::kPlain) {
      const int side = std::max(m.checkBoxSide, 4);
      const QRect box(x + 1, y + (m.rowHeight - side) / 2, side, side);
      const bool checked = combo.ItemChecked(row);
      if (Themed(combo)) {
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = box;
        opt.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        style()->drawPrimitive(combo.Style() == MartenComboBox::kCheckBoxes
                                   ? QStyle::PE_IndicatorCheckBox
                                   : QStyle::PE_IndicatorRadioButton,
                               &opt, &p, this);
      } else {
        p.setPen(Ole(combo.ForeColor()));
        p.setBrush(Ole(combo.BackColor()));
        if (combo.Style() == MartenComboBox::kCheckBoxes) {
          p.drawRect(box.adjusted(0, 0, -1, -1));
          if (checked) {
            p.setPen(QPen(Ole(combo.ForeColor()), 2));
            p.drawLine(box.left() + 3, box.center().y(), box.center().x() - 1, box.bottom() - 3);
            p.drawLine(box.center().x() - 1, box.bottom() - 3, box.right() - 3, box.top() + 3);
          }
        } else {
          p.drawEllipse(box.adjusted(0, 0, -1, -1));
          if (checked) {
            p.setBrush(Ole(combo.ForeColor()));
            p.drawEllipse(box.adjusted(side / 4, side / 4, -side / 4 - 1, -side / 4 - 1));
          }
        }
        p.setBrush(Qt::NoBrush);
      }
    }
    x += m.textStart;
    if (images) {
      if (const c32bppDIB* picture = images->Picture(combo.ItemImage(row))) {
        // The picture through a temporary copy of its pixels, scaled to the list's size.
        QImage face(picture->Width(), picture->Height(), QImage::Format_ARGB32_Premultiplied);
        for (int32_t py = 0; py < picture->Height(); ++py) {
          for (int32_t px = 0; px < picture->Width(); ++px)
            face.setPixel(px, py, picture->PixelAt(px, py));
        }
        const QRect target(x, y + (m.rowHeight - images->ImageHeight()) / 2, images->ImageWidth(),
                           images->ImageHeight());
        p.drawImage(target, face);
        x += images->ImageWidth() + 2;
      }
    }
    QFont rowFont = listFont;
    rowFont.setBold(combo.ItemFontBold(row));
    p.setFont(rowFont);
    p.setPen(highlighted ? Ole(combo.ForeColorSel()) : Ole(combo.ItemForeColor(row)));
    int cellLeft = 1;
    bool firstColumn = true;
    for (int32_t c = 0; c < combo.Cols(); ++c) {
      if (!combo.ColVisible(c)) continue;
      const int w = combo.ColPixelWidth(c);
      const int start = firstColumn ? x : cellLeft + 3;
      firstColumn = false;
      QRect cell(start, y, std::min(cellLeft + w, right) - start - 2, m.rowHeight);
      cellLeft += w;
      if (cell.width() <= 0) continue;
      QString text = ShownOnOneLine(combo.ItemText(row, c));
      if (combo.DisplayEllipsis())
        text = p.fontMetrics().elidedText(text, Qt::ElideRight, cell.width());
      p.drawText(cell, static_cast<int>(AlignmentOf(combo.ColAlignment(c)) | Qt::TextSingleLine),
                 text);
    }
    if (highlighted && combo.FocusRectStyle() != 0) {
      p.setPen(QPen(Ole(combo.FocusRectColor()), 1, Qt::DotLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(rowRect.adjusted(0, 0, -1, -1));
    }
  }
  // The window's frame.
  p.setPen(Ole(combo.BorderColor()));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ComboDropDownList::mousePressEvent(QMouseEvent* event) {
  if (owner_.combo_.Locked()) return;
  const int32_t row = RowAt(static_cast<int>(event->position().y()));
  pressedOnRow_ = row >= 0;
  if (row >= 0) {
    owner_.input_.PressRow(row, MouseButtonOf(event->button()), ShiftOf(event->modifiers()));
    update();
  }
}

void ComboDropDownList::mouseMoveEvent(QMouseEvent* event) {
  if (owner_.input_.HoverRow(RowAt(static_cast<int>(event->position().y())))) update();
}

void ComboDropDownList::mouseReleaseEvent(QMouseEvent* event) {
  if (owner_.combo_.Locked() || !pressedOnRow_) return;
  pressedOnRow_ = false;
  const int32_t row = RowAt(static_cast<int>(event->position().y()));
  if (row >= 0 && owner_.combo_.Style() == MartenComboBox::kPlain) {
    owner_.input_.HoverRow(row);
    owner_.CloseList(true);
  }
}

void ComboDropDownList::mouseDoubleClickEvent(QMouseEvent*) {
  if (auto& e = owner_.combo_.events().DblClick) e();
}

void ComboDropDownList::wheelEvent(QWheelEvent* event) {
  if (owner_.input_.Wheel(event->angleDelta().y() / 120, owner_.Now())) {
    SyncBar();
    update();
  }
}

// ---- the control ----

MartenComboBoxWidget::MartenComboBoxWidget(QWidget* parent)
    : QWidget(parent),
      input_(combo_),
      txtEdit_(new QLineEdit(this)),
      picList_(new ComboDropDownList(*this)) {
  clock_.start();
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);
  txtEdit_->setObjectName("txtEdit");
  txtEdit_->setFrame(false);
  txtEdit_->hide();
  txtEdit_->installEventFilter(this);
  connect(txtEdit_, &QLineEdit::textEdited, this, &MartenComboBoxWidget::OnTextEdited);
  combo_.SetRedrawHandler([this] {
    SyncEditBox();
    update();
    if (picList_->isVisible()) picList_->update();
  });
  tmrRelease_.setInterval(kReleaseInterval);
  connect(&tmrRelease_, &QTimer::timeout, this,
          [this] { ReleaseTick(QGuiApplication::mouseButtons() != Qt::NoButton, QCursor::pos()); });
  SyncEditBox();
}

MartenComboBoxWidget::~MartenComboBoxWidget() {
  // The edit box loses the focus while it is destroyed: that is no edit to report.
  txtEdit_->removeEventFilter(this);
  if (watchedWindow_) watchedWindow_->removeEventFilter(this);
  combo_.SetRedrawHandler({});
}

QSize MartenComboBoxWidget::sizeHint() const {
  return QSize(120, QFontMetrics(FontOf(combo_.Font())).height() + 8);
}

ComboRowMetrics MartenComboBoxWidget::RowMetrics() const {
  const QFontMetrics fm(FontOf(combo_.DropDownFont()));
  return ComputeRowMetrics(combo_, fm.boundingRect(QStringLiteral("A")).height() + 4);
}

QRect MartenComboBoxWidget::ButtonRect() const {
  const int b = std::max<int>(combo_.BorderWidth(), 0);
  return QRect(width() - b - kButtonWidth, b, kButtonWidth, height() - 2 * b);
}

void MartenComboBoxWidget::UpdateShape() {
  // The window region: a rounded rectangle whose corner ellipse is BorderCurve pixels.
  QPainterPath path;
  const qreal curve = std::max<int>(combo_.BorderCurve(), 0);
  path.addRoundedRect(QRectF(rect()), curve / 2.0, curve / 2.0);
  setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void MartenComboBoxWidget::SyncEditBox() {
  const int b = std::max<int>(combo_.BorderWidth(), 0);
  const int left = combo_.BorderStyle() == 4 ? 6 : 3;
  txtEdit_->setGeometry(b + left, b + 1, std::max(ButtonRect().left() - b - left - 1, 1),
                        height() - 2 * b - 2);
  txtEdit_->setVisible(combo_.Editable() && combo_.Enabled());
  txtEdit_->setMaxLength(combo_.MaxLength() > 0 ? combo_.MaxLength() : 32767);
  txtEdit_->setFont(FontOf(combo_.Font()));
  QPalette palette = txtEdit_->palette();
  palette.setColor(QPalette::Base, Ole(combo_.BackColorEdit()));
  palette.setColor(QPalette::Text, Ole(combo_.ForeColorEdit()));
  txtEdit_->setPalette(palette);
  const QString shown = QString::fromStdString(combo_.Text());
  if (!txtEdit_->hasFocus() && txtEdit_->text() != shown) txtEdit_->setText(shown);
}

void MartenComboBoxWidget::resizeEvent(QResizeEvent*) {
  UpdateShape();
  SyncEditBox();
}

void MartenComboBoxWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int b = std::max<int>(combo_.BorderWidth(), 0);
  const QRect inner = rect().adjusted(b, b, -b, -b);
  p.fillRect(rect(), Ole(combo_.BackColorEdit()));
  // Border: the rounded region less the same region inset by the border width.
  const qreal curve = std::max<int>(combo_.BorderCurve(), 0) / 2.0;
  QPainterPath outer, innerPath;
  outer.addRoundedRect(QRectF(rect()), curve, curve);
  innerPath.addRoundedRect(QRectF(inner), std::max<qreal>(curve - b, 0),
                           std::max<qreal>(curve - b, 0));
  p.fillPath(outer.subtracted(innerPath),
             Ole(hot_ ? combo_.HotBorderColor() : combo_.BorderColor()));
  // The button, raised while up, sunken while the list is open.
  const QRect button = ButtonRect();
  p.fillRect(button, Ole(hot_ ? combo_.HotButtonBackColor() : combo_.ButtonBackColor()));
  const QColor light = ToQColor(DesktopSystemColors().Lookup(20));
  const QColor shadow = ToQColor(DesktopSystemColors().Lookup(16));
  const bool sunken = input_.IsOpen();
  p.setPen(sunken ? shadow : light);
  p.drawLine(button.topLeft(), button.topRight());
  p.drawLine(button.topLeft(), button.bottomLeft());
  p.setPen(sunken ? light : shadow);
  p.drawLine(button.bottomLeft(), button.bottomRight());
  p.drawLine(button.topRight(), button.bottomRight());
  const QPoint c = button.center() + (sunken ? QPoint(1, 1) : QPoint(0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(Ole(hot_ ? combo_.HotArrowColor() : combo_.ArrowColor()));
  const QPoint arrow[3] = {c + QPoint(-4, -2), c + QPoint(4, -2), c + QPoint(0, 2)};
  p.drawPolygon(arrow, 3);
  // The shown text when it is not being edited.
  if (!txtEdit_->isVisible()) {
    const int left = combo_.BorderStyle() == 4 ? 6 : 3;
    const QRect area(inner.left() + left, inner.top() + 3 - 1,
                     button.left() - inner.left() - left - 2, inner.height() - 4);
    p.setFont(FontOf(combo_.Font()));
    QColor text = Ole(combo_.ForeColorEdit());
    if (!combo_.Enabled() || !isEnabled()) {
      text = ToQColor(DesktopSystemColors().Lookup(17));
    } else if (hasFocus()) {
      p.fillRect(area, ToQColor(DesktopSystemColors().Lookup(13)));
      text = ToQColor(DesktopSystemColors().Lookup(14));
      p.setPen(QPen(Ole(combo_.FocusRectColor()), 1, Qt::DotLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(area.adjusted(0, 0, -1, -1));
    }
    p.setPen(text);
    p.drawText(area.adjusted(1, 0, -1, 0),
               static_cast<int>(AlignmentOf(combo_.Alignment()) | Qt::TextSingleLine),
               p.fontMetrics().elidedText(ShownOnOneLine(combo_.Text()), Qt::ElideRight,
                                          area.width() - 2));
  }
}

void MartenComboBoxWidget::OpenList() {
  if (!input_.Open(Now())) return;
  const ComboRowMetrics m = RowMetrics();
  const int width = DropDownWidth(combo_, this->width());
  const int height = DropDownHeight(combo_, m.rowHeight, picList_->HeaderHeight(), width);
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
  const ComboRect place =
      PlaceDropDown({origin.x(), origin.y(), this->width(), this->height()}, width, height,
                    {avail.x(), avail.y(), avail.width(), avail.height()});
  picList_->setGeometry(place.x, place.y, place.width, place.height);
  picList_->SyncBar();
  picList_->show();
  picList_->raise();
  tmrRelease_.start();
  // A move of the window closes the list.
  if (QWidget* w = window(); w && w != watchedWindow_) {
    if (watchedWindow_) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = w;
    w->installEventFilter(this);
  }
  update();
}

void MartenComboBoxWidget::CloseList(bool take) {
  if (!input_.IsOpen()) return;
  tmrRelease_.stop();
  picList_->hide();
  input_.Close(take);
  update();
}

void MartenComboBoxWidget::ReleaseTick(bool buttonDown, const QPoint& globalPointer) {
  const bool inList = picList_->isVisible() && picList_->geometry().contains(globalPointer);
  const bool onControl = rect().contains(mapFromGlobal(globalPointer));
  if (input_.ReleaseDue(buttonDown, inList, onControl, Now())) CloseList(false);
}

void MartenComboBoxWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF pos = event->position();
  if (auto& e = combo_.events().MouseDown) {
    e(MouseButtonOf(event->button()), ShiftOf(event->modifiers()), static_cast<float>(pos.x()),
      static_cast<float>(pos.y()));
  }
  if (!combo_.Enabled() || event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  if (input_.IsOpen()) {
    CloseList(false);
  } else {
    OpenList();
  }
}

bool MartenComboBoxWidget::HandleKey(int16_t keyCode, int16_t shift) {
  int16_t code = keyCode;
  if (code == kComboKeyEnter &&
      (!combo_.AutoComplete() || txtEdit_->text().isEmpty() || !combo_.Editable())) {
    code = 0;  // Enter is reported as 0 when there is nothing to search
  }
  if (auto& e = combo_.events().KeyDown) e(code, shift);
  if (code == 0) return keyCode != kComboKeyEnter;
  if (code == kComboKeyEnter) {
    input_.EnterSearch(txtEdit_->text().toStdString());
    if (!input_.IsOpen()) picList_->hide();
    return true;
  }
  const bool wasOpen = input_.IsOpen();
  const bool used = input_.Key(code, shift, Now());
  if (wasOpen && !input_.IsOpen()) {
    tmrRelease_.stop();
    picList_->hide();
  } else if (!wasOpen && input_.IsOpen()) {
    input_.Close(false);  // let OpenList place the window
    OpenList();
  }
  if (picList_->isVisible()) {
    picList_->SyncBar();
    picList_->update();
  }
  update();
  return used;
}

void MartenComboBoxWidget::keyPressEvent(QKeyEvent* event) {
  if (!combo_.Enabled()) return;
  if (!HandleKey(KeyCodeOf(event->key()), ShiftOf(event->modifiers()))) {
    event->ignore();
    return;
  }
  if (!event->text().isEmpty()) {
    int16_t ascii = static_cast<int16_t>(event->text().at(0).unicode());
    if (auto& e = combo_.events().KeyPress) e(ascii);
  }
}

void MartenComboBoxWidget::keyReleaseEvent(QKeyEvent* event) {
  int16_t code = KeyCodeOf(event->key()), shift = ShiftOf(event->modifiers());
  if (auto& e = combo_.events().KeyUp) e(code, shift);
}

bool MartenComboBoxWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtEdit_) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      deleting_ = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
      const int16_t code = KeyCodeOf(key->key());
      // The edit box keeps its own editing keys; the list keys go to the control.
      if (code == kComboKeyUp || code == kComboKeyDown || code == kComboKeyPageUp ||
          code == kComboKeyPageDown || code == kComboKeyF4 || code == kComboKeyEnter ||
          code == kComboKeyEscape ||
          (input_.IsOpen() && (code == kComboKeyHome || code == kComboKeyEnd))) {
        HandleKey(code, ShiftOf(key->modifiers()));
        return true;
      }
    } else if (event->type() == QEvent::FocusOut) {
      // Leaving the edit box with a changed text asks the host, once the focus change is
      // complete (and not at all when the window is being destroyed, which also takes the
      // focus away).
      QTimer::singleShot(0, this, [this] {
        if (!combo_.CommitEditText(txtEdit_->text().toStdString())) txtEdit_->setFocus();
      });
    }
  } else if (watched == watchedWindow_ &&
             (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    CloseList(false);
  }
  return QWidget::eventFilter(watched, event);
}

void MartenComboBoxWidget::OnTextEdited(const QString& text) {
  if (combo_.AutoComplete() && !combo_.SuppressAutoComplete() && !deleting_) {
    const int caret = txtEdit_->cursorPosition();
    const QString left = text.left(caret);
    const std::string rest = input_.AutoComplete(left.toStdString());
    if (!rest.empty()) {
      combo_.SetSuppressAutoComplete(true);
      const QString appended = QString::fromStdString(rest);
      txtEdit_->setText(left + appended);
      txtEdit_->setSelection(static_cast<int>(left.size() + appended.size()),
                             -static_cast<int>(appended.size()));
      combo_.SetSuppressAutoComplete(false);
    }
  }
  deleting_ = false;
  if (auto& e = combo_.events().Change) e();
}

void MartenComboBoxWidget::enterEvent(QEnterEvent*) {
  hot_ = true;
  update();
}

void MartenComboBoxWidget::leaveEvent(QEvent*) {
  hot_ = false;
  update();
}

void MartenComboBoxWidget::focusInEvent(QFocusEvent*) {
  if (txtEdit_->isVisible()) txtEdit_->setFocus();
  update();
}

void MartenComboBoxWidget::focusOutEvent(QFocusEvent*) {
  update();
}

void MartenComboBoxWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) CloseList(false);
  QWidget::changeEvent(event);
}

}  // namespace quillon::widgets::qt
