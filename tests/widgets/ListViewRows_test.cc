#include "widgets/ListViewRows.h"

#include <gtest/gtest.h>

namespace quillon::widgets {
namespace {

TEST(ListViewRowsTest, ReplacesTheItemsAndAddsOneColumnPerResultColumn) {
  ListView list;
  list.AddColumn("old", "Old", 0, 80);
  list.AddItem(-1, "old item");
  ListViewRows rows(list);
  const std::vector<std::string> names = {"direction", "abb", "abbtext"};
  rows.BeginRows(names, 2);
  const std::vector<std::string> first = {"L", "WHO", "World Health"};
  const std::vector<std::string> second = {"R", "AR", ""};
  rows.AddRow(first);
  rows.AddRow(second);

  // The manager clears the columns before a listing; the result's columns follow any left.
  ASSERT_EQ(list.ColumnCount(), 4);
  for (int32_t c = 1; c < 4; ++c) {
    EXPECT_EQ(list.ColumnAt(c).key, names[static_cast<size_t>(c - 1)]);
    EXPECT_EQ(list.ColumnAt(c).Caption, names[static_cast<size_t>(c - 1)]);
    EXPECT_EQ(list.ColumnAt(c).Width, 80);
  }
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.ItemText(0, 0), "L");
  EXPECT_EQ(list.ItemText(0, 2), "World Health");
  EXPECT_EQ(list.ItemText(1, 1), "AR");
  EXPECT_EQ(list.ItemText(1, 2), "");
}

}  // namespace
}  // namespace quillon::widgets
