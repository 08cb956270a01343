// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/NcSyntax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/SendCarry.h"
#include "core/document/SyntaxColors.h"

namespace quelvo {
namespace {

// One letter per byte: . default, O program number, N sequence, G, M, A axis,
// W F/S/T/H/D word, C comment, % percent, # macro.
std::string StyleLetters(const std::string& text) {
  static const char kLetters[kNcStyleCount + 1] = ".ONGMAWC%#";
  std::vector<NcStyle> styles(text.size(), NcStyle::Default);
  StyleNcText(text, styles.data());
  std::string letters;
  for (NcStyle s : styles) letters += kLetters[static_cast<int>(s)];
  return letters;
}

TEST(NcSyntaxTest, StylesEachKindOfWord) {
  struct Case {
    std::string line, styles;
  };
  const Case cases[] = {
      {"O1000(PLATE)", "OOOOOCCCCCCC"},
      {":2000", "OOOOO"},
      {"%", "%"},
      {"N10G01X-12.5Y3.F200", "NNNGGGAAAAAAAAAWWWW"},
      {"g01x10.", "GGGAAAA"},  // loaded text may be lower case
      {"M03S1200T0101H01D01", "MMMWWWWWWWWWWWWWWWW"},
      {"G43.1Z5.I1J2K3R4.", "GGGGGAAAAAAAAAAAA"},
      {"G04P1000;", "GGG......"},
      {"/N20G00", ".NNNGGG"},
      {"X1.(A)Y2.", "AAACCCAAA"},
      {"G01X10.(OPEN", "GGGAAAACCCCC"},  // an unclosed comment ends with the line
      {"(あ)X1", std::string(5, 'C') + "AA"},
      {"#101=#102+1.(SET)", "############CCCCC"},
      {"IF[#1GT10]GOTO100", std::string(17, '#')},
      {"WHILE[#1LT5]DO1", std::string(15, '#')},
      {"G65P9010A#1B[#2*2]C-#3", "GGG.....A##A######AA##"},
      {"X[#1+2](C)Y1", "A######CCCAA"},
      {"G01 X1. Y2.", "GGG.AAA.AAA"},
  };
  for (const Case& c : cases) EXPECT_EQ(StyleLetters(c.line), c.styles) << c.line;
}

TEST(NcSyntaxTest, LinesStandAlone) {
  // A comment, an expression or a macro statement never runs past its line end,
  // whichever line end it is.
  EXPECT_EQ(StyleLetters("(A\r\nX1\nIF[\rG0"), "CC..AA.###.GG");
}

struct CarryCase {
  const char* name;
  std::string text;
  TapeCode code;
  bool cutComments;
  std::vector<ByteRange> marked;
};

class SendCarryTest : public ::testing::TestWithParam<CarryCase> {};

TEST_P(SendCarryTest, MarksWhatTheCodeCannotCarry) {
  const CarryCase& c = GetParam();
  std::vector<ByteRange> marked;
  FindUncarried(c.text, SendCarryRule{c.code, c.cutComments}, marked);
  ASSERT_EQ(marked.size(), c.marked.size()) << c.text;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    EXPECT_EQ(marked[i].begin, c.marked[i].begin) << c.text;
    EXPECT_EQ(marked[i].end, c.marked[i].end) << c.text;
  }
}

const std::string kRawByte = "\xEF\xA1\xBD";  // U+F87D: the raw byte 0xFD
const std::string kHalfWidthA = "\xEF\xBD\xB1";  // ｱ, CP932 0xB1

INSTANTIATE_TEST_SUITE_P(
    Codes, SendCarryTest,
    ::testing::Values(
        CarryCase{"IsoPlainProgram", "G01X10.(rough)\r\nM30", TapeCode::ISO, true, {}},
        CarryCase{"IsoKanji", "X1(あい)", TapeCode::ISO, true, {{3, 9}}},
        CarryCase{"AsciiKanji", "X1(あい)", TapeCode::ASCII, true, {}},
        CarryCase{"NoCp932FormInAnyCode", "X1(€)", TapeCode::ASCII, true, {{3, 6}}},
        CarryCase{"IsoHalfWidthKana", "(" + kHalfWidthA + ")", TapeCode::ISO, true, {{1, 4}}},
        CarryCase{"AsciiRawByte", kRawByte, TapeCode::ASCII, true, {}},
        CarryCase{"IsoRawByte", kRawByte, TapeCode::ISO, true, {{0, 3}}},
        CarryCase{"EiaLowerCaseAndMacro", "(ab)#1=2", TapeCode::EIA, true, {{1, 3}, {4, 5}, {6, 7}}},
        CarryCase{"EiaHalfWidthKana", kHalfWidthA, TapeCode::EIA, true, {{0, 3}}},
        CarryCase{"EiaTabNotSent", "G01\tX1", TapeCode::EIA, true, {}},
        CarryCase{"EiaCutCommentNotSent", "G01;rough", TapeCode::EIA, true, {}},
        CarryCase{"EiaCommentsSent", "G01;ab", TapeCode::EIA, false, {{3, 6}}},
        CarryCase{"SemicolonInParenthesesDoesNotCut", "(a;b)c", TapeCode::EIA, true, {{1, 4}, {5, 6}}},
        CarryCase{"CutEndsWithTheLine", "X1;あ\r\nあ", TapeCode::ISO, true, {{8, 11}}},
        CarryCase{"UndecidedAsAscii", "(あ)", TapeCode::Undecided, true, {}}),
    [](const ::testing::TestParamInfo<CarryCase>& info) { return std::string(info.param.name); });

TEST(SyntaxColorsTest, EveryStyleReadsOnLightAndDarkBackgrounds) {
  const Rgb backgrounds[] = {{255, 255, 255}, {0, 0, 0}, {30, 30, 30}, {0, 0, 80}, {255, 255, 224}, {40, 44, 52}};
  const Rgb text{1, 2, 3};
  for (const Rgb& bg : backgrounds) {
    std::vector<Rgb> seen;
    for (int s = 1; s < kNcStyleCount; ++s) {
      const Rgb c = SyntaxColor(static_cast<NcStyle>(s), bg, text);
      EXPECT_GE(ContrastRatio(c, bg), kSyntaxContrast) << "style " << s << " on " << int(bg.r);
      for (const Rgb& other : seen) EXPECT_FALSE(c == other) << "style " << s << " repeats a colour";
      seen.push_back(c);
    }
    EXPECT_GE(ContrastRatio(UncarriedMarkColor(bg), bg), 3.0);
    // The user's own text colour where it reads, else made readable like a style.
    const Rgb shown = SyntaxColor(NcStyle::Default, bg, text);
    EXPECT_GE(ContrastRatio(shown, bg), kSyntaxContrast) << int(bg.r);
    if (ContrastRatio(text, bg) >= kSyntaxContrast) {
      EXPECT_EQ(shown, text);
    }
  }
}

TEST(SyntaxColorsTest, TheStoredTextColourKeepsItsHueWhenMadeReadable) {
  const Rgb white{255, 255, 255}, black{0, 0, 0}, dark{40, 44, 52};
  EXPECT_EQ(ReadableTextColor(black, white), black);  // as stored where it reads
  EXPECT_EQ(ReadableTextColor(Rgb{0, 0, 200}, white), (Rgb{0, 0, 200}));
  const Rgb grey = ReadableTextColor(black, dark);  // black on a dark theme
  EXPECT_GE(ContrastRatio(grey, dark), kSyntaxContrast);
  EXPECT_EQ(grey.r, grey.g);  // still without a hue
  EXPECT_EQ(grey.g, grey.b);
  const Rgb blue = ReadableTextColor(Rgb{0, 0, 139}, black);  // dark blue on black stays blue
  EXPECT_GE(ContrastRatio(blue, black), kSyntaxContrast);
  EXPECT_GT(blue.b, blue.r);
  EXPECT_GT(blue.b, blue.g);
}

}  // namespace
}  // namespace quelvo
