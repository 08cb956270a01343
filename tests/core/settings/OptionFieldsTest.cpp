// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string_view>

#include "core/settings/FieldCycle.h"
#include "core/settings/InputFilter.h"
#include "core/settings/OptionFields.h"
#include "core/settings/UnsavedChanges.h"

namespace quelvo {
namespace {

TEST(OptionFields, PagesHoldTheirFieldsInOrder) {
  const auto& table = OptionFieldTable();
  EXPECT_EQ(OptionFieldsOfPage(0).size(), 9u);
  EXPECT_EQ(OptionFieldsOfPage(1), (std::vector<int>{9, 10}));
  EXPECT_EQ(OptionFieldsOfPage(2).size(), 5u);
  EXPECT_STREQ(table[3].label, "ﾓﾃﾞﾑﾎﾟｰﾄ番号１(例：COM1)");
  EXPECT_EQ(table[3].maxLength, 5);
  EXPECT_EQ(table[3].filter, InputFilter::PortName);
  EXPECT_STREQ(table[11].label, "選択送信(Y/N)");
  EXPECT_EQ(table[11].maxLength, 1);
}

TEST(OptionFields, EachFieldEditsItsOwnValue) {
  ProgramSettings settings;
  OptionTexts texts = ReadOptionTexts(settings);
  EXPECT_EQ(texts[5], "Y");  // DC3(0X93) defaults to Y, every other switch to N
  EXPECT_EQ(texts[0], "N");
  EXPECT_EQ(texts[3], "");
  for (int i = 0; i < kOptionFieldCount; ++i) texts[i] = "v" + std::to_string(i);
  ApplyOptionTexts(settings, texts);
  EXPECT_EQ(settings.storedOptions.op3, "v0");
  EXPECT_EQ(settings.modemPort1, "v3");
  EXPECT_EQ(settings.modemPort2, "v4");
  EXPECT_EQ(settings.storedOptions.dc3_0x93, "v5");
  EXPECT_EQ(settings.storedOptions.powerOff, "v7");
  EXPECT_EQ(settings.storedOptions.op2, "v9");
  EXPECT_EQ(settings.storedOptions.op1, "v11");
  EXPECT_EQ(settings.storedOptions.op13, "v15");
  EXPECT_TRUE(settings.options.filePreview);  // not a dialog field
  // No two fields share a value: reading back gives the sixteen distinct texts.
  EXPECT_EQ(ReadOptionTexts(settings), texts);
}

TEST(InputFilter, AcceptsOnlyItsCharactersAndBackspace) {
  for (char32_t c : std::u32string_view(U"YNyn\b")) EXPECT_TRUE(InputFilterAccepts(InputFilter::YesNo, c));
  for (char32_t c : std::u32string_view(U"Aa1 xＹ")) EXPECT_FALSE(InputFilterAccepts(InputFilter::YesNo, c));
  for (char32_t c : std::u32string_view(U"COMcom0189")) EXPECT_TRUE(InputFilterAccepts(InputFilter::PortName, c));
  for (char32_t c : std::u32string_view(U"Pp/-")) EXPECT_FALSE(InputFilterAccepts(InputFilter::PortName, c));
  EXPECT_FALSE(InputFilterAccepts(InputFilter::Digits, U'a'));
  EXPECT_FALSE(InputFilterAccepts(InputFilter::Digits, U'-'));
  EXPECT_TRUE(InputFilterAccepts(InputFilter::AnyText, U'あ'));
}

TEST(InputFilter, CleansPastedText) {
  EXPECT_EQ(UpperAscii(FilterText(InputFilter::PortName, "co m3x")), "COM3");
  EXPECT_EQ(FilterText(InputFilter::Digits, "12a3\b"), "123");
  EXPECT_EQ(FilterText(InputFilter::AnyText, "a b;"), "a b;");
  EXPECT_EQ(UpperAscii("送信abc"), "送信ABC");
}

TEST(FieldCycle, WrapsAtBothEnds) {
  EXPECT_EQ(StepFieldIndex(1, 2, +1), 0);  // Down from the second of two goes to the first
  EXPECT_EQ(StepFieldIndex(0, 9, -1), 8);
  EXPECT_EQ(StepFieldIndex(8, 9, +1), 0);
  EXPECT_EQ(StepFieldIndex(3, 9, +1), 4);
  EXPECT_EQ(StepFieldIndex(0, 0, +1), 0);
}

TEST(UnsavedChanges, OnlyAnExplicitYesDiscards) {
  EXPECT_FALSE(SaveBeforeClosing(true, CloseAnswer::Yes));
  EXPECT_TRUE(SaveBeforeClosing(true, CloseAnswer::No));
  EXPECT_TRUE(SaveBeforeClosing(true, CloseAnswer::Other));
  EXPECT_FALSE(SaveBeforeClosing(false, CloseAnswer::No));
}

}  // namespace
}  // namespace quelvo
