#include "widgets/Scrollbars.h"

#include <algorithm>

namespace quillon::widgets {

bool Scrollbars::SetValue(ScrollBarKind kind, int32_t value) {
  ScrollBar& bar = Bar(kind);
  const int32_t clamped = std::clamp(value, bar.Min, std::max(bar.Min, bar.Max));
  const bool changed = clamped != bar.Value;
  bar.Value = clamped;
  reported_[Index(kind)] = clamped;
  return changed;
}

void Scrollbars::SetRange(ScrollBarKind kind, int32_t min, int32_t max) {
  ScrollBar& bar = Bar(kind);
  bar.Min = min;
  bar.Max = max;
  SetValue(kind, bar.Value);
}

void Scrollbars::Action(ScrollBarKind kind, ScrollAction action, int32_t thumbPosition) {
  ScrollBar& bar = Bar(kind);
  const int64_t value = bar.Value;
  int64_t next = value;
  switch (action) {
    case ScrollAction::kLineUp:
      next = value - bar.SmallChange;
      break;
    case ScrollAction::kLineDown:
      next = value + bar.SmallChange;
      break;
    case ScrollAction::kPageUp:
      next = value - bar.LargeChange;
      break;
    case ScrollAction::kPageDown:
      next = value + bar.LargeChange;
      break;
    case ScrollAction::kThumbTrack:
    case ScrollAction::kThumbPosition:
      next = thumbPosition;
      break;
    case ScrollAction::kTop:
      next = bar.Min;
      break;
    case ScrollAction::kBottom:
      next = bar.Max;
      break;
  }
  bar.Value = static_cast<int32_t>(std::clamp<int64_t>(next, bar.Min, std::max(bar.Min, bar.Max)));
  Report(kind, action == ScrollAction::kThumbTrack);
}

int32_t Scrollbars::Wheel(ScrollBarKind kind, int32_t wheelDistance) {
  int32_t& remainder = wheelRemainder_[Index(kind)];
  const int64_t total = static_cast<int64_t>(remainder) - wheelDistance;
  const int64_t notches = total / kWheelDelta;
  remainder = static_cast<int32_t>(total % kWheelDelta);
  ScrollBar& bar = Bar(kind);
  int32_t amount = static_cast<int32_t>(std::clamp<int64_t>(
      notches * linesPerNotch_ * bar.SmallChange, INT32_MIN / 2, INT32_MAX / 2));
  if (events_.MouseWheel) events_.MouseWheel(kind, amount);
  if (amount != 0) {
    const int64_t next = static_cast<int64_t>(bar.Value) + amount;
    bar.Value =
        static_cast<int32_t>(std::clamp<int64_t>(next, bar.Min, std::max(bar.Min, bar.Max)));
    Report(kind, false);
  }
  return amount;
}

void Scrollbars::Click(ScrollBarKind kind, int16_t button) {
  if (events_.ScrollClick) events_.ScrollClick(kind, button);
}

void Scrollbars::Report(ScrollBarKind kind, bool tracking) {
  const int32_t value = Bar(kind).Value;
  int32_t& last = reported_[Index(kind)];
  if (value == last) return;
  last = value;
  if (tracking) {
    if (events_.Scroll) events_.Scroll(kind);
  } else if (events_.Change) {
    events_.Change(kind);
  }
}

}  // namespace quillon::widgets
