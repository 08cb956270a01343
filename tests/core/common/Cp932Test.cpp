// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/Cp932.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

// UTF-8 of the private-use character that carries raw byte b.
std::string Raw(unsigned char b) {
  const char32_t c = 0xF780 + b;
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

std::string RoundTrip(const std::string& bytes) { return Utf8ToCp932(Cp932ToUtf8(bytes)); }

TEST(Cp932Test, EveryByteAndEveryBytePairRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    ASSERT_EQ(RoundTrip(one), one) << "byte " << b;
  }
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string two{static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(RoundTrip(two), two) << "bytes " << a << " " << b;
      ASSERT_EQ(RoundTrip("A" + two + "\r\n"), "A" + two + "\r\n");
    }
  }
}

TEST(Cp932Test, DecodesJapaneseTextBothWays) {
  const std::string bytes = "O1234(\x90\xDD\x92\xE8\x82\x50 \xD2\xB0\xC4\xD9)";
  EXPECT_EQ(Cp932ToUtf8(bytes), "O1234(設定１ ﾒｰﾄﾙ)");
  EXPECT_EQ(Utf8ToCp932("O1234(設定１ ﾒｰﾄﾙ)"), bytes);
}

TEST(Cp932Test, UndecodableBytesBecomeRawCharacters) {
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"), Raw(0x80) + Raw(0xA0) + Raw(0xFD) + Raw(0xFE) + Raw(0xFF));
  // A lead byte without a valid trail keeps the next byte as what it is.
  EXPECT_EQ(Cp932ToUtf8("X\x81\r\n"), "X" + Raw(0x81) + "\r\n");
  EXPECT_EQ(Cp932ToUtf8("\x81"), Raw(0x81));
  EXPECT_EQ(Utf8ToCp932(Raw(0x00) + Raw(0x9F) + Raw(0xFF)), std::string("\x00\x9F\xFF", 3));
}

TEST(Cp932Test, DuplicateMappedCodesKeepTheirBytes) {
  // Each pair: the code the character encodes to, and its duplicate.
  const std::pair<const char*, const char*> pairs[] = {
      {"\x81\xE0", "\x87\x90"}, {"\x81\xCA", "\xFA\x54"}, {"\xFA\x5C", "\xED\x40"}};
  for (const auto& [canonical, duplicate] : pairs) {
    EXPECT_EQ(RoundTrip(canonical), canonical);
    EXPECT_EQ(RoundTrip(duplicate), duplicate);
    EXPECT_NE(Cp932ToUtf8(canonical), Cp932ToUtf8(duplicate));
  }
  EXPECT_EQ(Cp932ToUtf8("\x81\xE0"), "≒");
}

TEST(Cp932Test, EncodesOtherFormsAndReplacesTheUnencodable) {
  EXPECT_EQ(Utf8ToCp932("〜"), "\x81\x60");  // wave dash: same code as the full-width tilde
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("a\xC3("), "a?(");  // malformed UTF-8
}

// Exactly the characters written as "?" are found, on the line they stand on.
using UnencodableLines = std::vector<std::pair<std::size_t, std::vector<std::string>>>;
struct UnencodableCase {
  const char* name;
  std::string text;
  UnencodableLines expected;
};
void PrintTo(const UnencodableCase& c, std::ostream* os) { *os << c.name; }

class Cp932FindUnencodableTest : public testing::TestWithParam<UnencodableCase> {};

TEST_P(Cp932FindUnencodableTest, FindsWhatWouldBeWrittenAsQuestionMarks) {
  const UnencodableCase& c = GetParam();
  UnencodableLines found;
  for (const UnencodableLine& line : FindUnencodable(c.text)) found.emplace_back(line.line, line.characters);
  EXPECT_EQ(found, c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cp932Test, Cp932FindUnencodableTest,
    testing::Values(
        // all encodable, "?" itself too
        UnencodableCase{"AllEncodable", "O1(設定１ ﾒｰﾄﾙ 〜 ?)\r\n" + Raw(0x80) + "\r\n", {}},
        UnencodableCase{"SeveralOnOneLine", "G1\r\nÄ€😀\r\nX1", {{2, {"Ä", "€", "😀"}}}},
        // LF, CR, CR LF
        UnencodableCase{"EveryLineBreak", "€\n€\rÄ\r\n\r\n€Ä€", {{1, {"€"}}, {2, {"€"}}, {3, {"Ä"}}, {5, {"€", "Ä"}}}},
        // malformed UTF-8 shows as U+FFFD
        UnencodableCase{"MalformedUtf8", "a\xC3(\r\n", {{1, {"\xEF\xBF\xBD"}}}}),
    [](const testing::TestParamInfo<UnencodableCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quelvo
