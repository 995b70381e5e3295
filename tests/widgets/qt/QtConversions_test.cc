#include "widgets/qt/QtConversions.h"

#include <gtest/gtest.h>

namespace quillon::widgets::qt {
namespace {

TEST(QtConversionsTest, KeysMapToThePlatformsKeyCodes) {
  const std::pair<int, int16_t> cases[] = {
      {Qt::Key_Up, 38},     {Qt::Key_Down, 40},   {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
      {Qt::Key_Space, 32},  {Qt::Key_Left, 37},   {Qt::Key_Right, 39},  {Qt::Key_Home, 36},
      {Qt::Key_End, 35},    {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},  {Qt::Key_Escape, 27},
      {Qt::Key_Delete, 46}, {Qt::Key_Tab, 9},     {Qt::Key_F4, 115},    {Qt::Key_A, 65},
      {Qt::Key_Z, 90},      {Qt::Key_0, 48},      {Qt::Key_9, 57},      {Qt::Key_F5, 0},
      {Qt::Key_Insert, 0},
  };
  for (auto [qtKey, code] : cases)
    EXPECT_EQ(KeyCodeOf(qtKey), code) << "Qt key 0x" << std::hex << qtKey;
}

TEST(QtConversionsTest, ModifiersAndButtonsMapToTheControlsBits) {
  EXPECT_EQ(ShiftOf(Qt::NoModifier), 0);
  EXPECT_EQ(ShiftOf(Qt::ShiftModifier), 1);
  EXPECT_EQ(ShiftOf(Qt::ControlModifier), 2);
  EXPECT_EQ(ShiftOf(Qt::AltModifier), 4);
  EXPECT_EQ(ShiftOf(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
  EXPECT_EQ(ShiftOf(Qt::MetaModifier), 0);

  EXPECT_EQ(MouseButtonOf(Qt::LeftButton), 1);
  EXPECT_EQ(MouseButtonOf(Qt::RightButton), 2);
  EXPECT_EQ(MouseButtonOf(Qt::MiddleButton), 4);
  EXPECT_EQ(MouseButtonOf(Qt::BackButton), 0);
}

TEST(QtConversionsTest, AlignmentsAreVerticallyCentredAndUnknownOnesReadAsLeft) {
  EXPECT_EQ(AlignmentOf(1), Qt::AlignHCenter | Qt::AlignVCenter);
  EXPECT_EQ(AlignmentOf(2), Qt::AlignRight | Qt::AlignVCenter);
  for (int left : {0, 3, -1})
    EXPECT_EQ(AlignmentOf(left), Qt::AlignLeft | Qt::AlignVCenter) << left;
}

TEST(QtConversionsTest, ControlCharactersShowAsTheirSymbols) {
  const std::pair<std::string, QString> cases[] = {
      {"two\nlines", QString::fromUtf8("two\u240Alines")},
      {"tab\tand\rreturn", QString::fromUtf8("tab\u2409and\u240Dreturn")},
      {std::string("nul\0end", 7), QString::fromUtf8("nul\u2400end")},
      {"caf\xC3\xA9 \xE2\x86\x92 ok", QString::fromUtf8("caf\u00E9 \u2192 ok")},
      {"", QString()}};
  for (const auto& [text, shown] : cases) EXPECT_EQ(ShownOnOneLine(text), shown) << text;
}

}  // namespace
}  // namespace quillon::widgets::qt
