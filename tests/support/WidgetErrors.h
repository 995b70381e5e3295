// Checks of the numbered errors that the widget classes raise.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "widgets/WidgetError.h"

namespace quillon::testing {

// Runs fn and returns the number of the WidgetError it raised (0 when none).
inline int WidgetErrorNumber(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const widgets::WidgetError& e) {
    return e.Number();
  }
  return 0;
}

// Expects fn to raise WidgetError number from source with description.
inline void ExpectWidgetError(const std::function<void()>& fn, int number,
                              const std::string& source, const std::string& description) {
  try {
    fn();
    ADD_FAILURE() << "no error raised";
  } catch (const widgets::WidgetError& e) {
    EXPECT_EQ(e.Number(), number);
    EXPECT_EQ(e.Source(), source);
    EXPECT_EQ(e.Description(), description);
  }
}

}  // namespace quillon::testing
