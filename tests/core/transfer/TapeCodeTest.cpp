// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/TapeCode.h"

#include <gtest/gtest.h>

#include <bitset>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quelvo {
namespace {

using Byte = std::uint8_t;

int Ones(unsigned value) { return static_cast<int>(std::bitset<8>(value).count()); }

std::vector<Byte> EncodeText(TapeCode code, const std::string& text) {
  std::vector<Byte> out;
  for (unsigned char ch : text) {
    if (auto byte = EncodeChar(code, ch)) out.push_back(*byte);
  }
  return out;
}

std::string DecodeBytes(TapeCodeState& state, const std::vector<Byte>& bytes, bool pauseIs0x93) {
  std::string out;
  for (Byte b : bytes) out.push_back(static_cast<char>(DecodeByte(state, b, pauseIs0x93)));
  return out;
}

// The EIA code table, row by row.
const std::map<char, Byte>& EiaRows() {
  static const std::map<char, Byte> rows = {
      {'0', 0x20}, {'1', 0x01}, {'2', 0x02}, {'3', 0x13}, {'4', 0x04}, {'5', 0x15},
      {'6', 0x16}, {'7', 0x07}, {'8', 0x08}, {'9', 0x19}, {'A', 0x61}, {'B', 0x62},
      {'C', 0x73}, {'D', 0x64}, {'E', 0x75}, {'F', 0x76}, {'G', 0x67}, {'H', 0x68},
      {'I', 0x79}, {'J', 0x51}, {'K', 0x52}, {'L', 0x43}, {'M', 0x54}, {'N', 0x45},
      {'O', 0x46}, {':', 0x46}, {'P', 0x57}, {'Q', 0x58}, {'R', 0x49}, {'S', 0x32},
      {'T', 0x23}, {'U', 0x34}, {'V', 0x25}, {'W', 0x26}, {'X', 0x37}, {'Y', 0x38},
      {'Z', 0x29}, {'%', 0x0B}, {'(', 0x1A}, {')', 0x4A}, {'+', 0x70}, {'-', 0x40},
      {'/', 0x31}, {'.', 0x6B}, {'&', 0x0E}, {',', 0x3B}, {'\n', 0x80}, {' ', 0x10},
  };
  return rows;
}

TEST(TapeCodeEncode, IsoAddsEvenParityToSevenBitCharacters) {
  for (unsigned ch = 0; ch < 0x80; ++ch) {
    const auto byte = EncodeChar(TapeCode::ISO, static_cast<Byte>(ch));
    ASSERT_TRUE(byte.has_value()) << ch;
    EXPECT_EQ(*byte & 0x7F, static_cast<int>(ch)) << ch;
    EXPECT_EQ(Ones(*byte) % 2, 0) << ch;
  }
  for (unsigned ch = 0x80; ch < 0x100; ++ch) {
    EXPECT_EQ(EncodeChar(TapeCode::ISO, static_cast<Byte>(ch)), std::optional<Byte>(ch)) << ch;
  }
}

TEST(TapeCodeEncode, IsoExamples) {
  const std::vector<std::pair<Byte, Byte>> examples = {
      {'%', 0xA5}, {kLF, 0x0A}, {kCR, 0x8D}, {' ', 0xA0}, {'O', 0xCF}, {'G', 0x47}, {'F', 0xC6},
      {'1', 0xB1}, {'.', 0x2E}, {kDC1, 0x11}, {kDC2, 0x12}, {kDC3, 0x93}, {kDC4, 0x14}};
  for (const auto& [ch, byte] : examples) {
    EXPECT_EQ(EncodeChar(TapeCode::ISO, ch), std::optional<Byte>(byte)) << int(ch);
  }
  EXPECT_EQ(EncodeText(TapeCode::ISO, "O1234"), (std::vector<Byte>{0xCF, 0xB1, 0xB2, 0x33, 0xB4}));
}

TEST(TapeCodeEncode, EiaEveryRowAndNothingElse) {
  std::map<Byte, Byte> expected;
  for (const auto& [ch, byte] : EiaRows()) expected[static_cast<Byte>(ch)] = byte;
  for (Byte dc : {kDC1, kDC2, kDC3, kDC4}) expected[dc] = dc;

  for (unsigned ch = 0; ch < 0x100; ++ch) {
    const auto byte = EncodeChar(TapeCode::EIA, static_cast<Byte>(ch));
    const auto row = expected.find(static_cast<Byte>(ch));
    if (row == expected.end()) {
      EXPECT_FALSE(byte.has_value()) << "not in the EIA table: " << ch;
    } else {
      EXPECT_EQ(byte, std::optional<Byte>(row->second)) << ch;
    }
  }
}

TEST(TapeCodeEncode, EiaDataBytesHaveOddParity) {
  for (const auto& [ch, byte] : EiaRows()) EXPECT_EQ(Ones(byte) % 2, 1) << ch;
}

TEST(TapeCodeEncode, EiaExamples) {
  EXPECT_EQ(EncodeText(TapeCode::EIA, "G01"), (std::vector<Byte>{0x67, 0x20, 0x01}));
  EXPECT_FALSE(EncodeChar(TapeCode::EIA, 'g').has_value());
  EXPECT_EQ(EncodeText(TapeCode::EIA, "g"), std::vector<Byte>{});
  const std::vector<Byte> program = {0x46, 0x01, 0x02, 0x13, 0x04};
  EXPECT_EQ(EncodeText(TapeCode::EIA, ":1234"), program);
  EXPECT_EQ(EncodeText(TapeCode::EIA, "O1234"), program);
  TapeCodeState state{TapeCode::EIA, false};
  EXPECT_EQ(DecodeBytes(state, program, false), "O1234");
  // A line ended by CR alone has no end of block in EIA.
  EXPECT_EQ(EncodeText(TapeCode::EIA, "X1\r"), (std::vector<Byte>{0x37, 0x01}));
}

TEST(TapeCodeEncode, AsciiAndUndecidedPassEveryByte) {
  for (unsigned ch = 0; ch < 0x100; ++ch) {
    EXPECT_EQ(EncodeChar(TapeCode::ASCII, static_cast<Byte>(ch)), std::optional<Byte>(ch));
    EXPECT_EQ(EncodeChar(TapeCode::Undecided, static_cast<Byte>(ch)), std::optional<Byte>(ch));
  }
}

// A character and what each code puts on the wire for it (nothing: not sent).
struct WireRow {
  const char* name;
  Byte ch;
  std::optional<Byte> iso, eia, ascii;
};
void PrintTo(const WireRow& row, std::ostream* os) { *os << row.name; }

class TapeCodeControlCharacterTest : public testing::TestWithParam<WireRow> {};

TEST_P(TapeCodeControlCharacterTest, ControlCharactersOnTheWire) {
  const WireRow& row = GetParam();
  EXPECT_EQ(EncodeChar(TapeCode::ISO, row.ch), row.iso) << int(row.ch);
  EXPECT_EQ(EncodeChar(TapeCode::EIA, row.ch), row.eia) << int(row.ch);
  EXPECT_EQ(EncodeChar(TapeCode::ASCII, row.ch), row.ascii) << int(row.ch);
}

INSTANTIATE_TEST_SUITE_P(TapeCodeEncode, TapeCodeControlCharacterTest,
                         testing::Values(WireRow{"LF", kLF, 0x0A, 0x80, 0x0A},
                                         WireRow{"CR", kCR, 0x8D, std::nullopt, 0x0D},
                                         WireRow{"Percent", '%', 0xA5, 0x0B, 0x25},
                                         WireRow{"Space", ' ', 0xA0, 0x10, 0x20},
                                         WireRow{"DC1", kDC1, 0x11, 0x11, 0x11},
                                         WireRow{"DC2", kDC2, 0x12, 0x12, 0x12},
                                         WireRow{"DC3", kDC3, 0x93, 0x13, 0x13},
                                         WireRow{"DC4", kDC4, 0x14, 0x14, 0x14}),
                         [](const testing::TestParamInfo<WireRow>& info) { return std::string(info.param.name); });

TEST(TapeCodeEncode, ShiftJisBytesOnTheWire) {
  // Shift-JIS bytes: unchanged in ISO and ASCII, not sent in EIA.
  EXPECT_EQ(EncodeChar(TapeCode::ISO, 0x82), std::optional<Byte>(0x82));
  EXPECT_EQ(EncodeChar(TapeCode::ASCII, 0x82), std::optional<Byte>(0x82));
  EXPECT_FALSE(EncodeChar(TapeCode::EIA, 0x82).has_value());
}

TEST(TapeCodeDecode, IsoIgnoresParity) {
  TapeCodeState state{TapeCode::ISO, false};
  EXPECT_EQ(DecodeByte(state, 0xCF, false), 'O');
  EXPECT_EQ(DecodeByte(state, 0x4F, false), 'O');
  for (unsigned ch = 0x20; ch < 0x80; ++ch) {
    const Byte wire = *EncodeChar(TapeCode::ISO, static_cast<Byte>(ch));
    if (wire == kDC3WithParity) continue;
    EXPECT_EQ(DecodeByte(state, wire, true), ch);
  }
}

TEST(TapeCodeDecode, EiaEveryRow) {
  for (const auto& [ch, byte] : EiaRows()) {
    TapeCodeState state{TapeCode::EIA, false};
    const char expected = ch == ':' ? 'O' : ch;
    EXPECT_EQ(DecodeByte(state, byte, false), static_cast<Byte>(expected)) << ch;
  }
  std::map<Byte, bool> known;
  for (const auto& row : EiaRows()) known[row.second] = true;
  for (Byte special : {kNUL, kENQ, kDC1, kDC2, kDC4, kCAN}) known[special] = true;
  for (unsigned b = 0; b < 0x100; ++b) {
    if (known.count(static_cast<Byte>(b)) || b == kDC3WithParity) continue;
    TapeCodeState state{TapeCode::EIA, false};
    EXPECT_EQ(DecodeByte(state, static_cast<Byte>(b), false), 0) << b;
  }
}

TEST(TapeCodeDecode, UndecidedCodeIsTakenFromTheFirstCountedByte) {
  struct Case {
    Byte first;
    TapeCode decided;
    Byte character;
  };
  for (const Case& c : {Case{0x80, TapeCode::EIA, kLF}, Case{0x0A, TapeCode::ISO, kLF},
                        Case{0xA5, TapeCode::ISO, '%'}}) {
    TapeCodeState state;
    EXPECT_EQ(DecodeByte(state, c.first, false), c.character) << int(c.first);
    EXPECT_EQ(state.CurrentCode, c.decided) << int(c.first);
  }
}

TEST(TapeCodeDecode, GoAndControlBytesTakeNoPartInTheDecision) {
  for (TapeCode code : {TapeCode::Undecided, TapeCode::ISO, TapeCode::EIA, TapeCode::ASCII}) {
    for (Byte go : {kDC1, kENQ}) {
      TapeCodeState state{code, false};
      EXPECT_EQ(DecodeByte(state, go, true), go);
      EXPECT_TRUE(state.GoFlag);
      EXPECT_EQ(state.CurrentCode, code);
    }
    for (Byte passed : {kNUL, kDC2, kDC4, kCAN}) {
      TapeCodeState state{code, true};
      EXPECT_EQ(DecodeByte(state, passed, false), passed);
      EXPECT_TRUE(state.GoFlag);
      EXPECT_EQ(state.CurrentCode, code);
    }
  }
}

TEST(TapeCodeDecode, PauseCode0x93) {
  for (TapeCode code : {TapeCode::Undecided, TapeCode::ISO, TapeCode::EIA, TapeCode::ASCII}) {
    TapeCodeState state{code, true};
    EXPECT_EQ(DecodeByte(state, 0x93, true), kDC3);
    EXPECT_FALSE(state.GoFlag);
    EXPECT_EQ(state.CurrentCode, code);
  }
  TapeCodeState iso{TapeCode::ISO, true};
  EXPECT_EQ(DecodeByte(iso, 0x13, true), 0x13);
  EXPECT_TRUE(iso.GoFlag);
}

TEST(TapeCodeDecode, PauseCode0x13) {
  for (TapeCode code : {TapeCode::Undecided, TapeCode::ISO}) {
    TapeCodeState state{code, true};
    EXPECT_EQ(DecodeByte(state, 0x13, false), kDC3);
    EXPECT_FALSE(state.GoFlag);
    EXPECT_EQ(state.CurrentCode, code);
  }
  TapeCodeState eia{TapeCode::EIA, true};
  EXPECT_EQ(DecodeByte(eia, 0x13, false), '3');
  EXPECT_TRUE(eia.GoFlag);
  TapeCodeState ascii{TapeCode::ASCII, true};
  EXPECT_EQ(DecodeByte(ascii, 0x13, false), 0x13);
  EXPECT_TRUE(ascii.GoFlag);
  // 0x93 is no pause with the option off: it is ISO "DC3" with its parity bit.
  TapeCodeState undecided{TapeCode::Undecided, true};
  EXPECT_EQ(DecodeByte(undecided, 0x93, false), 0x13);
  EXPECT_EQ(undecided.CurrentCode, TapeCode::ISO);
  EXPECT_TRUE(undecided.GoFlag);
}

TEST(TapeCodeDecode, AsciiPassesBytes) {
  TapeCodeState state{TapeCode::ASCII, false};
  for (unsigned b = 0x20; b < 0x100; ++b) {
    if (b == 0x93) continue;
    EXPECT_EQ(DecodeByte(state, static_cast<Byte>(b), true), b);
  }
}

TEST(TapeCode, CodeOfATransferFromTheSetting) {
  EXPECT_EQ(SendTapeCode(0), TapeCode::ISO);
  EXPECT_EQ(SendTapeCode(1), TapeCode::EIA);
  EXPECT_EQ(SendTapeCode(2), TapeCode::ASCII);
  EXPECT_EQ(SendTapeCode(3), TapeCode::Undecided);
  EXPECT_EQ(ReceiveTapeCode(0), TapeCode::Undecided);
  EXPECT_EQ(ReceiveTapeCode(1), TapeCode::ASCII);
  EXPECT_EQ(ReceiveTapeCode(2), TapeCode::EIA);
  EXPECT_EQ(ReceiveTapeCode(3), TapeCode::ISO);
  EXPECT_EQ(ReceiveTapeCode(-1), TapeCode::Undecided);
}

TEST(TapeCode, TapeMeters) {
  EXPECT_DOUBLE_EQ(TapeMeters(0), 0.0);
  EXPECT_DOUBLE_EQ(TapeMeters(1), 0.00254);
  EXPECT_DOUBLE_EQ(TapeMeters(20), 0.0508);  // one 50 mm feed
  EXPECT_DOUBLE_EQ(TapeMeters(100000000), 254000.0);
}

// Every pair of bytes, from every starting code, with both pause options: the
// decoder never fails, and once ISO or EIA is decided it stays.
TEST(TapeCodeDecode, EveryPairOfBytesKeepsTheDecision) {
  for (TapeCode start : {TapeCode::Undecided, TapeCode::ISO, TapeCode::EIA, TapeCode::ASCII}) {
    for (bool pauseIs0x93 : {false, true}) {
      for (unsigned first = 0; first < 0x100; ++first) {
        TapeCodeState afterFirst{start, false};
        DecodeByte(afterFirst, static_cast<Byte>(first), pauseIs0x93);
        if (start == TapeCode::Undecided) {
          ASSERT_NE(afterFirst.CurrentCode, TapeCode::ASCII);
        } else {
          ASSERT_EQ(afterFirst.CurrentCode, start);
        }
        for (unsigned second = 0; second < 0x100; ++second) {
          TapeCodeState state = afterFirst;
          DecodeByte(state, static_cast<Byte>(second), pauseIs0x93);
          if (afterFirst.CurrentCode != TapeCode::Undecided) {
            ASSERT_EQ(state.CurrentCode, afterFirst.CurrentCode) << first << " " << second;
          } else {
            ASSERT_NE(state.CurrentCode, TapeCode::ASCII);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace quelvo
