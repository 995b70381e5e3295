// The two scroll bars of a list view as values and rules: each bar's range, value and steps,
// the scroll actions, the wheel arithmetic and the events. The window layer shows real bars
// that mirror these values and feeds their actions back here.
#pragma once

#include <cstdint>
#include <functional>

namespace quillon::widgets {

enum class ScrollBarKind { kHorizontal = 0, kVertical = 1 };

enum class ScrollAction {
  kLineUp,
  kLineDown,
  kPageUp,
  kPageDown,
  kThumbTrack,
  kThumbPosition,
  kTop,
  kBottom
};

struct ScrollBar {
  bool Visible = false;
  bool Enabled = false;
  int32_t Min = 0;
  int32_t Max = 0;
  int32_t Value = 0;
  int32_t SmallChange = 1;
  int32_t LargeChange = 1;
};

class Scrollbars {
 public:
  // Wheel distances come in units of this many per notch.
  static constexpr int32_t kWheelDelta = 120;

  struct Events {
    std::function<void(ScrollBarKind bar, int16_t button)> ScrollClick;
    // The value changed while the thumb is dragged.
    std::function<void(ScrollBarKind bar)> Scroll;
    // The value changed in any other way.
    std::function<void(ScrollBarKind bar)> Change;
    // The wheel asks to move bar by amount; the owner may change it.
    std::function<void(ScrollBarKind bar, int32_t& amount)> MouseWheel;
  };

  // linesPerNotch: the desktop's lines scrolled per wheel notch, read once at creation.
  explicit Scrollbars(int32_t linesPerNotch = 3) : linesPerNotch_(linesPerNotch) {}

  Events& events() { return events_; }
  ScrollBar& Bar(ScrollBarKind kind) { return bars_[Index(kind)]; }
  const ScrollBar& Bar(ScrollBarKind kind) const { return bars_[Index(kind)]; }
  int32_t LinesPerNotch() const { return linesPerNotch_; }

  // Sets the value directly (clamped to Min..Max) without raising an event; the caller
  // repaints. Returns whether it changed.
  bool SetValue(ScrollBarKind kind, int32_t value);
  // Sets Min and Max and clamps the value into them, without an event.
  void SetRange(ScrollBarKind kind, int32_t min, int32_t max);

  // Applies a scroll action (thumbPosition for the thumb actions), then raises Scroll (while
  // the thumb is dragged) or Change when the value differs from the last one reported.
  void Action(ScrollBarKind kind, ScrollAction action, int32_t thumbPosition = 0);
  // Applies a wheel turn of wheelDistance units (positive away from the user): whole notches
  // (the remainder kept for the next turn), negated, times LinesPerNotch and SmallChange;
  // raises MouseWheel with that amount and adds a non-zero amount to the value. Returns the
  // amount applied.
  int32_t Wheel(ScrollBarKind kind, int32_t wheelDistance);
  // A mouse button (1 left, 2 right) pressed on a bar.
  void Click(ScrollBarKind kind, int16_t button);

 private:
  static int Index(ScrollBarKind kind) { return kind == ScrollBarKind::kVertical ? 1 : 0; }
  void Report(ScrollBarKind kind, bool tracking);

  ScrollBar bars_[2];
  int32_t reported_[2] = {0, 0};
  int32_t wheelRemainder_[2] = {0, 0};
  int32_t linesPerNotch_;
  Events events_;
};

}  // namespace quillon::widgets
