// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/PrintPages.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(PrintPagesTest, ThirteenPixelFontGivesSeventyNineLinesAPage) {
  const int k = LinesPerPage(13);
  EXPECT_EQ(k, 79);
  EXPECT_EQ(LinesPerPage(-13), 79);
  EXPECT_EQ(PageCount(158, k), 3);
  EXPECT_EQ(PageCount(157, k), 2);
  EXPECT_EQ(PageCount(0, k), 1);

  const PageLines first = LinesOfPage(1, k, 158);
  EXPECT_EQ(first.first, 1);
  EXPECT_EQ(first.last, 79);
  const PageLines second = LinesOfPage(2, k, 158);
  EXPECT_EQ(second.first, 80);
  EXPECT_EQ(second.last, 158);
  EXPECT_TRUE(LinesOfPage(3, k, 158).empty());
  const PageLines partial = LinesOfPage(2, k, 100);
  EXPECT_EQ(partial.first, 80);
  EXPECT_EQ(partial.last, 100);
  EXPECT_EQ(PageJobTitle("/home/nc/O1234.NC", 2), "/home/nc/O1234.NC[2]");
}

TEST(PrintPagesTest, OddFontHeightsStillGiveUsablePages) {
  EXPECT_EQ(LinesPerPage(0), 1027);
  EXPECT_EQ(LinesPerPage(2000), 1);
  EXPECT_EQ(PageCount(5, 0), 6);
  EXPECT_TRUE(LinesOfPage(0, 79, 158).empty());
}

}  // namespace
}  // namespace quelvo
