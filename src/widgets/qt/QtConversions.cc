#include "widgets/qt/QtConversions.h"

#include "widgets/ListViewInput.h"

namespace quillon::widgets::qt {

int16_t KeyCodeOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_PageUp:
      return kKeyPageUp;
    case Qt::Key_PageDown:
      return kKeyPageDown;
    case Qt::Key_Space:
      return kKeySpace;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Delete:
      return 46;
    case Qt::Key_Tab:
      return 9;
    case Qt::Key_F4:
      return 115;
    default:
      // Letters and digits share their codes with the platform's keys.
      if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) ||
          (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<int16_t>(qtKey);
      }
      return 0;
  }
}

int16_t ShiftOf(Qt::KeyboardModifiers modifiers) {
  int16_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShiftMask;
  if (modifiers & Qt::ControlModifier) shift |= kCtrlMask;
  if (modifiers & Qt::AltModifier) shift |= kAltMask;
  return shift;
}

int16_t MouseButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return kLeftButton;
    case Qt::RightButton:
      return kRightButton;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

Qt::Alignment AlignmentOf(int32_t alignment) {
  switch (alignment) {
    case 1:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case 2:
      return Qt::AlignRight | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

QString ShownOnOneLine(const std::string& text) {
  QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  for (QChar& c : shown) {
    if (c.unicode() < 0x20) c = QChar(0x2400 + c.unicode());
  }
  return shown;
}

}  // namespace quillon::widgets::qt
