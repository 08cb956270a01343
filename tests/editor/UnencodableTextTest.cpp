#include "editor/UnencodableText.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

// The first lines are listed; a long list ends with how many lines are left out.
TEST(UnencodableText, ListsTheFirstLinesAndCountsTheRest) {
  std::vector<UnencodableLine> lines;
  for (std::size_t n = 1; n <= kUnencodableLinesShown + 2; ++n) lines.push_back({n * 2, {"€", "Ä"}});
  const std::string text = UnencodableQuestion(lines);
  EXPECT_EQ(text.find("次の文字は"), 0u);
  EXPECT_NE(text.find("\n\n2行目: € Ä\n4行目: € Ä\n"), std::string::npos) << text;
  EXPECT_NE(text.find("20行目: € Ä\nほか 2 行\n\nこのまま保存しますか？"), std::string::npos) << text;
  EXPECT_EQ(text.find("22行目"), std::string::npos);
}

}  // namespace
}  // namespace quelvo
