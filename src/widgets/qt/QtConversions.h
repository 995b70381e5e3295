// The controls' own values to and from Qt's: key codes, shift bits, mouse buttons, alignments and
// text shown on one line. Pure functions, shared by every control drawn with Qt.
#pragma once

#include <QString>
#include <Qt>
#include <cstdint>
#include <string>

namespace quillon::widgets::qt {

// The control's key code (the platform's virtual-key numbering) for a Qt key; 0 for keys the
// controls do not handle.
int16_t KeyCodeOf(int qtKey);

// The control's shift bits (1 Shift, 2 Ctrl, 4 Alt) for Qt keyboard modifiers.
int16_t ShiftOf(Qt::KeyboardModifiers modifiers);

// The control's button bits (1 left, 2 right, 4 middle) for a Qt mouse button; 0 for others.
int16_t MouseButtonOf(Qt::MouseButton button);

// The Qt alignment, vertically centred, for a control's alignment (0 left, 1 centre, 2 right;
// any other value reads as left).
Qt::Alignment AlignmentOf(int32_t alignment);

// UTF-8 text as drawn on one line: control characters become their visible symbols, so that
// hostile text cannot break the line. Invalid UTF-8 shows replacement characters.
QString ShownOnOneLine(const std::string& text);

}  // namespace quillon::widgets::qt
