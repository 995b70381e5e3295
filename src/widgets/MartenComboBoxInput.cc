#include "widgets/MartenComboBoxInput.h"

#include <algorithm>

#include "base/Utf8.h"

namespace quillon::widgets {

ComboRowMetrics ComputeRowMetrics(const MartenComboBox& combo, int32_t textHeightA) {
  ComboRowMetrics m;
  const int32_t fromSetting =
      MartenComboBox::ToPixels(combo.RowHeightMin(), combo.ScaleUnits(), true);
  m.rowHeight = fromSetting >= 1 ? fromSetting : std::max(textHeightA, 1);
  if (combo.RowHeightMin() == 0) {
    m.checkBoxSide = textHeightA;
  } else {
    m.checkBoxSide = m.rowHeight >= 17 ? 16 : m.rowHeight - 4;
  }
  m.textStart = combo.Style() == MartenComboBox::kPlain ? 3 : m.checkBoxSide + 2;
  return m;
}

int32_t DropDownWidth(const MartenComboBox& combo, int32_t controlWidth) {
  if (combo.DropDownAutoWidth()) {
    int64_t sum = 16;  // room for the vertical scroll bar
    for (int32_t c = 0; c < combo.Cols(); ++c) {
      if (combo.ColVisible(c)) sum += combo.ColPixelWidth(c);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(sum, 0, INT32_MAX));
  }
  if (combo.DropDownWidth() != 0) {
    return MartenComboBox::ToPixels(combo.DropDownWidth(), combo.ScaleUnits());
  }
  return controlWidth;
}

int32_t DropDownHeight(const MartenComboBox& combo, int32_t rowHeight, int32_t headerHeight,
                       int32_t listWidth) {
  const int32_t shown =
      std::min<int32_t>(combo.ListCount(), std::max<int16_t>(combo.DropDownItemsVisible(), 0));
  int64_t height = static_cast<int64_t>(rowHeight) * shown + 2;
  if (combo.ListCount() > combo.DropDownItemsVisible()) {
    int64_t columns = 0;
    for (int32_t c = 0; c < combo.Cols(); ++c) {
      if (combo.ColVisible(c)) columns += combo.ColPixelWidth(c);
    }
    if (columns > listWidth) height += 16;
  }
  if (combo.ColumnHeaders()) height += headerHeight;
  return static_cast<int32_t>(std::clamp<int64_t>(height, 0, INT32_MAX));
}

ComboRect PlaceDropDown(const ComboRect& control, int32_t width, int32_t height,
                        const ComboRect& screen) {
  ComboRect r{control.x, control.y + control.height, std::min(width, screen.width), height};
  if (static_cast<int64_t>(r.y) + height > static_cast<int64_t>(screen.y) + screen.height) {
    r.y = control.y - height;
  }
  // Cut to the screen: keep the window's right edge on it.
  if (static_cast<int64_t>(r.x) + r.width > static_cast<int64_t>(screen.x) + screen.width) {
    r.x = screen.x + screen.width - r.width;
  }
  r.x = std::max(r.x, screen.x);
  return r;
}

int32_t MartenComboBoxInput::VisibleRows() const {
  return std::max<int32_t>(std::min<int32_t>(combo_.ListCount(), combo_.DropDownItemsVisible()), 1);
}

bool MartenComboBoxInput::Open(int64_t now) {
  if (open_ || combo_.ListCount() == 0) return false;
  open_ = true;
  if (auto& e = combo_.events().DropDownOpen) e();
  lastScroll_ = now - kReleaseDelay - 1;
  highlighted_ = combo_.ListIndex();
  firstVisible_ = 0;
  if (highlighted_ >= VisibleRows()) firstVisible_ = highlighted_ - VisibleRows() + 1;
  firstVisible_ = std::clamp(firstVisible_, 0, std::max(combo_.ListCount() - VisibleRows(), 0));
  return true;
}

void MartenComboBoxInput::Close(bool take) {
  if (!open_) return;
  open_ = false;
  const bool taking = take && highlighted_ >= 0 && highlighted_ < combo_.ListCount();
  if (taking) {
    // The row is taken quietly; Click follows DropDownClose.
    auto click = std::move(combo_.events().Click);
    combo_.SetListIndex(highlighted_);
    combo_.events().Click = std::move(click);
  }
  if (combo_.Style() != MartenComboBox::kPlain) combo_.UpdateCheckedText();
  if (auto& e = combo_.events().DropDownClose) e();
  if (taking) {
    if (auto& e = combo_.events().Click) e();
  }
}

void MartenComboBoxInput::MoveHighlight(int32_t row) {
  if (combo_.ListCount() == 0) return;
  highlighted_ = std::clamp(row, 0, combo_.ListCount() - 1);
  if (highlighted_ < firstVisible_) firstVisible_ = highlighted_;
  if (highlighted_ >= firstVisible_ + VisibleRows())
    firstVisible_ = highlighted_ - VisibleRows() + 1;
}

void MartenComboBoxInput::ToggleAll() {
  const bool allChecked = combo_.SelCount() == combo_.ListCount();
  for (int32_t r = 0; r < combo_.ListCount(); ++r) combo_.SetItemChecked(r, !allChecked);
  if (auto& e = combo_.events().SelectionChanged) e();
}

bool MartenComboBoxInput::Key(int16_t keyCode, int16_t shift, int64_t now) {
  const bool alt = (shift & kComboAlt) != 0;
  const bool ctrl = (shift & kComboCtrl) != 0;
  const int32_t last = combo_.ListCount() - 1;
  const int32_t page = std::max<int32_t>(combo_.DropDownItemsVisible() - 1, 0);
  if (keyCode == kComboKeyF4) {
    if (open_) {
      Close(false);
    } else {
      Open(now);
    }
    return true;
  }
  if (alt && (keyCode == kComboKeyUp || keyCode == kComboKeyDown)) {
    if (open_) {
      Close(true);
    } else {
      Open(now);
    }
    return true;
  }
  if (ctrl && keyCode == kComboKeyA) {
    if (combo_.Style() == MartenComboBox::kCheckBoxes) ToggleAll();
    return true;
  }
  if (!open_) {
    if (last < 0) return false;
    const int32_t current = combo_.ListIndex();
    switch (keyCode) {
      case kComboKeyUp:
        if (current >= 1) combo_.SetListIndex(current - 1);
        return true;
      case kComboKeyDown:
        if (current < last) combo_.SetListIndex(current + 1);
        return true;
      case kComboKeyPageUp:
        combo_.SetListIndex(std::max(current - page, 0));
        return true;
      case kComboKeyPageDown:
        combo_.SetListIndex(std::min(current + page, last));
        return true;
      default:
        return false;
    }
  }
  switch (keyCode) {
    case kComboKeyUp:
      MoveHighlight(highlighted_ - 1);
      return true;
    case kComboKeyDown:
      MoveHighlight(highlighted_ + 1);
      return true;
    case kComboKeyPageUp:
      MoveHighlight(highlighted_ - page);
      return true;
    case kComboKeyPageDown:
      MoveHighlight(highlighted_ + page);
      return true;
    case kComboKeyHome:
    case kComboKeyEnd:
      MoveHighlight(keyCode == kComboKeyHome ? 0 : last);
      combo_.SetListIndex(highlighted_);
      return true;
    case kComboKeySpace:
      if (combo_.Style() != MartenComboBox::kPlain && highlighted_ >= 0) {
        combo_.SetItemChecked(highlighted_, !combo_.ItemChecked(highlighted_));
        if (auto& e = combo_.events().SelectionChanged) e();
      }
      return true;
    case kComboKeyEscape:
      Close(false);
      return true;
    default:
      return false;
  }
}

bool MartenComboBoxInput::PressRow(int32_t row, int16_t button, int16_t shift) {
  if (combo_.Locked() || row < 0 || row >= combo_.ListCount()) return false;
  if (auto& e = combo_.events().ClickItem) e(row, button, shift);
  if (combo_.Style() == MartenComboBox::kPlain) {
    highlighted_ = row;
    return true;
  }
  bool checked = combo_.Style() == MartenComboBox::kCheckBoxes ? !combo_.ItemChecked(row) : true;
  bool cancel = false;
  if (auto& e = combo_.events().RequestItemChecked) e(row, checked, cancel);
  if (!cancel) {
    combo_.SetItemChecked(row, checked);
    if (auto& e = combo_.events().SelectionChanged) e();
  }
  return false;
}

bool MartenComboBoxInput::HoverRow(int32_t row) {
  if (row < 0 || row >= combo_.ListCount() || row == highlighted_) return false;
  highlighted_ = row;
  return true;
}

bool MartenComboBoxInput::ScrollTo(int32_t firstRow, int64_t now) {
  const int32_t clamped = std::clamp(firstRow, 0, std::max(combo_.ListCount() - VisibleRows(), 0));
  if (clamped == firstVisible_) return false;
  firstVisible_ = clamped;
  lastScroll_ = now;
  return true;
}

bool MartenComboBoxInput::Wheel(int32_t notches, int64_t now) {
  return ScrollTo(firstVisible_ - notches * 3, now);
}

bool MartenComboBoxInput::ReleaseDue(bool buttonDown, bool pointerInList, bool pointerOnControl,
                                     int64_t now) const {
  return open_ && buttonDown && !pointerInList && !pointerOnControl &&
         now - lastScroll_ > kReleaseDelay;
}

std::string MartenComboBoxInput::AutoComplete(const std::string& typedLeft) const {
  if (typedLeft.empty()) return {};
  const int32_t row = combo_.FindRow(typedLeft, MartenComboBox::kSearchAtOrAfter);
  if (row < 0) return {};
  const std::string cell = combo_.ItemText(row, combo_.SearchColumn());
  // Skip as many characters of the row's text as were typed.
  return cell.substr(ByteOffsetOf(cell, CodePointCount(typedLeft)));
}

int32_t MartenComboBoxInput::EnterSearch(const std::string& typed) {
  if (!combo_.AutoComplete() || typed.empty()) return -1;
  int32_t row = combo_.FindRow(typed, MartenComboBox::kSearchEqual);
  if (auto& e = combo_.events().AutoCompleteSearch) e(row);
  if (row < 0 || row >= combo_.ListCount()) return -1;
  combo_.SetListIndex(row);
  if (open_) {
    highlighted_ = row;
    Close(false);
  }
  return row;
}

}  // namespace quillon::widgets
