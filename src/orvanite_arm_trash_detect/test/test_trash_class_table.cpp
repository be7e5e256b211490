#include "common/trash_class_table.hpp"

#include <gtest/gtest.h>

#include "common/ansi_colors.hpp"

namespace
{
TEST(TrashClassTable, NamesByClassId)
{
  EXPECT_EQ(kTrashClassNames.size(), 23u);
  EXPECT_EQ(TrashClassName(1), "paper");
  EXPECT_EQ(TrashClassName(11), "waiting");
  EXPECT_EQ(TrashClassName(12), "escalator");
  EXPECT_EQ(TrashClassName(23), "other");
  EXPECT_EQ(TrashClassName(0), "");
  EXPECT_EQ(TrashClassName(24), "");
  EXPECT_EQ(TrashClassName(24), "");
  EXPECT_EQ(kTrashClassNames.count(24), 0u);
}

TEST(TrashClassTable, Palettes)
{
  ASSERT_EQ(kClassColors80.size(), 80u);
  ASSERT_EQ(kClassColors20.size(), 20u);
  EXPECT_EQ(kClassColors80[22], (std::vector<int>{255, 170, 0}));
  EXPECT_EQ(kClassColors20[22 % 20], (std::vector<int>{255, 112, 31}));
  EXPECT_EQ(kClassColors80[79], (std::vector<int>{128, 128, 0}));
  const std::pair<int, int> equal_pairs[] = {{0, 77}, {9, 57}, {12, 63}, {13, 69}, {14, 46}};
  for (const auto & pair : equal_pairs) {
    EXPECT_EQ(kClassColors80[pair.first], kClassColors80[pair.second]) << pair.first;
  }
  for (const auto & colour : kClassColors80) {
    ASSERT_EQ(colour.size(), 3u);
  }
}

TEST(AnsiColors, Sequences)
{
  EXPECT_EQ(kBoldGreen, "\x1b[1;32m");
  EXPECT_EQ(kReset, "\x1b[0m");
  EXPECT_EQ(kDimCyan, "\x1b[2;36m");
  EXPECT_EQ(kBgWhite, "\x1b[47m");
  EXPECT_EQ(kBlink, "\x1b[5m");
}
}  // namespace
