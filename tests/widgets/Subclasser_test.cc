#include "widgets/Subclasser.h"

#include <gtest/gtest.h>

#include "support/WidgetErrors.h"

namespace quillon::widgets {
namespace {

// Every routine raises number 5, the platform's "invalid procedure call".
void ExpectError(const std::function<void()>& fn, const std::string& description) {
  testing::ExpectWidgetError(fn, 5, "Subclasser", description);
}

TEST(Subclasser, ErrorsOfTheRoutines) {
  Subclasser s;
  ExpectError([&] { s.Subclass(0, nullptr); }, "Invalid window handle");
  ExpectError([&] { s.UnSubclass(7); }, "Window handle isn't subclassed");
  ExpectError([&] { s.AddMsg(7, 1, MsgWhen::kBefore); }, "Subclassing hasn't been started");
  s.Subclass(7, nullptr);
  ExpectError([&] { s.Subclass(7, nullptr); }, "Window handle is already subclassed");
  ExpectError([&] { s.DelMsg(7, 0x201, MsgWhen::kAfter); }, "Message &H201 not found in table");
  s.lParamUser(7) = 42;
  EXPECT_EQ(s.lParamUser(7), 42);
  s.UnSubclass(7);
  EXPECT_FALSE(s.IsSubclassed(7));
}

TEST(Subclasser, ThirtyTwoMessagesPerDirectionOrAll) {
  Subclasser s;
  s.Subclass(1, nullptr);
  for (uint32_t m = 100; m < 132; ++m) s.AddMsg(1, m, MsgWhen::kBefore);
  ExpectError([&] { s.AddMsg(1, 500, MsgWhen::kBefore); },
              "Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
              "ALL_MESSAGES instead of specific message values");
  s.AddMsg(1, 500, MsgWhen::kAfter);   // the other direction has its own table
  s.AddMsg(1, 100, MsgWhen::kBefore);  // already there: no new entry
  EXPECT_TRUE(s.Wants(1, 131, true));
  EXPECT_FALSE(s.Wants(1, 131, false));
  EXPECT_TRUE(s.Wants(1, 500, false));
  s.DelMsg(1, 131, MsgWhen::kBefore);
  EXPECT_FALSE(s.Wants(1, 131, true));
  s.AddMsg(1, kAllMessages, MsgWhen::kBoth);
  EXPECT_TRUE(s.Wants(1, 9999, true));
  EXPECT_TRUE(s.Wants(1, 9999, false));
  s.Terminate();
  EXPECT_FALSE(s.Wants(1, 100, true));
}

}  // namespace
}  // namespace quillon::widgets
