// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FileFilter.h"

#include <gtest/gtest.h>

#include <string_view>

#include "core/document/UserFileTypes.h"

namespace quelvo {
namespace {

TEST(FileFilter, DefaultListInItsFixedOrder) {
  const std::vector<FileFilterEntry> entries = BuildFileFilter(UserFileTypes{});
  ASSERT_EQ(entries.size(), static_cast<std::size_t>(kFileFilterCount));
  EXPECT_EQ(FileFilterText(entries),
            "ＮＣ文章(*.nc;*.nc1;*.nc0)|*.NC;*.NC1;*.NC0|"
            "テキスト(*.txt)|*.TXT|"
            "ﾕｰｻﾞ1(*.*)|*.*|"
            "ﾕｰｻﾞ2(*.*)|*.*|"
            "すべて表示(*.*)|*.*|"
            "OSP用(*.MIN;*.SUB;*.SDF;*.RBT;*.SSB;*.RPD)|*.MIN;*.SUB;*.SDF;*.RBT;*.SSB;*.RPD|"
            "拡張子無し    ||");
  const char* expected[] = {"", "nc", "txt", "", "", "nc", "MIN", "", ""};
  for (int maskNo = 0; maskNo <= 8; ++maskNo)
    EXPECT_EQ(DefaultExtensionFor(entries, maskNo), expected[maskNo]) << "Mask_No " << maskNo;
  EXPECT_EQ(FilterPatterns(entries[0]), (std::vector<std::string>{"*.NC", "*.NC1", "*.NC0"}));
  EXPECT_TRUE(FilterPatterns(entries[6]).empty());
}

TEST(FileFilter, UserTypesFillEntriesThreeAndFour) {
  const UserFileTypes types = UserFileTypesFromFields("ﾏｼﾝA", "NCD", "", "");
  const std::vector<FileFilterEntry> entries = BuildFileFilter(types);
  EXPECT_EQ(entries[2].description, "ﾏｼﾝA(*.NCD)");
  EXPECT_EQ(entries[2].pattern, "*.NCD");
  EXPECT_EQ(DefaultExtensionFor(entries, 3), "NCD");
  EXPECT_EQ(entries[3].description, "ﾕｰｻﾞ定義2(*.*)");
  EXPECT_EQ(DefaultExtensionFor(entries, 4), "");
}

TEST(UserFileTypes, ExtensionFieldsBecomeMasks) {
  EXPECT_EQ(NormalizeExtensionField("NCD"), "*.NCD");
  EXPECT_EQ(NormalizeExtensionField(".NCD"), "*.NCD");
  EXPECT_EQ(NormalizeExtensionField("*.NCD"), "*.NCD");
  EXPECT_EQ(NormalizeExtensionField("A*.B"), "A*.B");
  const UserFileTypes types = UserFileTypesFromFields("", "", "名前", ".MIN");
  EXPECT_EQ(types.User1_Name, "ﾕｰｻﾞ定義1");
  EXPECT_EQ(types.User1_Mask, "*.*");
  EXPECT_EQ(types.User2_Name, "名前");
  EXPECT_EQ(types.User2_Mask, "*.MIN");
}

TEST(UserFileTypes, RefusedExtensionCharacters) {
  for (char32_t c : std::u32string_view(U"/:,;?<>|")) EXPECT_TRUE(IsForbiddenExtensionChar(c));
  for (char32_t c : std::u32string_view(U"AZ09.*_-ｱ")) EXPECT_FALSE(IsForbiddenExtensionChar(c));
}

}  // namespace
}  // namespace quelvo
