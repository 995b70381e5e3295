#include "widgets/qt/QtSubclasser.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace quillon::widgets::qt {
namespace {

struct Recorder : ISubclass {
  std::vector<std::string> calls;
  bool stopKeys = false;
  void WndProc(bool before, bool& handled, int64_t&, uintptr_t, uint32_t message) override {
    calls.push_back(std::string(before ? "before " : "after ") + std::to_string(message));
    if (before && stopKeys && message == QEvent::KeyPress) handled = true;
  }
};

TEST(QtSubclasser, RoutesTheTableMessagesAroundTheWidget) {
  QLineEdit edit;
  Recorder owner;
  QtSubclasser router;
  router.Subclass(&edit, &owner);
  const uintptr_t window = QtSubclasser::WindowOf(&edit);
  router.tables().AddMsg(window, QEvent::KeyPress, MsgWhen::kBoth);
  QTest::keyClick(&edit, Qt::Key_A);
  EXPECT_EQ(edit.text(), "a");  // the widget's own handling ran between the two calls
  const std::string press = std::to_string(QEvent::KeyPress);
  EXPECT_EQ(owner.calls, (std::vector<std::string>{"before " + press, "after " + press}));
  owner.stopKeys = true;  // handled before: the widget never sees the key
  QTest::keyClick(&edit, Qt::Key_B);
  EXPECT_EQ(edit.text(), "a");
  router.UnSubclass(&edit);
  QTest::keyClick(&edit, Qt::Key_C);
  EXPECT_EQ(edit.text(), "ac");
  EXPECT_EQ(owner.calls.size(), 3u);
}

}  // namespace
}  // namespace quillon::widgets::qt
