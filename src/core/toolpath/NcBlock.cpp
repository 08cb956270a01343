// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/NcBlock.h"

#include <cstdint>

namespace quelvo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

constexpr double kPow10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                             1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
constexpr int kMaxDigits = 18;  // more is no number of a program (and would not fit the mantissa)

const char* const kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT", "LF",
                                       "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                       "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

bool IsControl(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

std::string ControlName(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u == 0x7F ? "DEL" : kControlNames[u];
}

enum class NumberRead { Ok, NoDigits, TooLong, Exponent };

// Reads [+-]digits[.digits] at `i`. A number written with an exponent
// ("1.e3", "2E-4", as a calculator or a script prints it) is refused rather
// than read as far as the letter: "X1.e3" would otherwise move to X1. An
// upper-case E followed straight by a digit stays the next word (a lathe's
// E thread lead written without a space).
NumberRead ReadNumber(std::string_view s, size_t& i, NcWord& word, int& digits) {
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint64_t mantissa = 0;
  int fraction = 0;
  digits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      if (++digits <= kMaxDigits) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        if (point) ++fraction;
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return NumberRead::NoDigits;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    const bool sign = j < s.size() && (s[j] == '+' || s[j] == '-');
    if (sign) ++j;
    if (j < s.size() && IsDigit(s[j]) && (s[i] == 'e' || sign)) {
      for (i = j; i < s.size() && IsDigit(s[i]); ++i) {
      }
      return NumberRead::Exponent;
    }
  }
  if (digits > kMaxDigits) return NumberRead::TooLong;
  const double value = static_cast<double>(mantissa) / kPow10[fraction];
  word.value = negative ? -value : value;
  word.hasPoint = point;
  return NumberRead::Ok;
}

// The problem of a word whose number could not be read; `at` is where the
// word's letter stands, `end` past what was read.
std::string NumberError(NumberRead read, std::string_view s, size_t at, size_t end, int digits) {
  const std::string letter(1, Upper(s[at]));
  switch (read) {
    case NumberRead::NoDigits: return letter + " に数値がありません";
    case NumberRead::TooLong: return letter + " の数値の桁が多すぎます (" + std::to_string(digits) + " 桁)";
    case NumberRead::Exponent:
      return "指数表記の数値 " + std::string(s.substr(at, end - at)) + " は解釈しません";
    case NumberRead::Ok: break;
  }
  return {};
}

}  // namespace

void NcBlock::Clear() {
  words.clear();
  deleted = percent = programNumber = macro = openComment = false;
  error.clear();
}

void ParseBlock(std::string_view s, NcBlock& block) {
  block.Clear();
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  if (i < s.size() && s[i] == '/') {
    block.deleted = true;
    ++i;
  }
  {
    size_t j = i;
    if (j < s.size() && s[j] == '%') {
      ++j;
      while (j < s.size() && IsBlank(s[j])) ++j;
      if (j == s.size()) {
        block.percent = true;
        return;
      }
    }
  }
  if (i + 1 < s.size() && (Upper(s[i]) == 'O' || s[i] == ':') && IsDigit(s[i + 1])) {
    block.programNumber = true;
    return;
  }
  auto fail = [&block](std::string text) {
    if (block.error.empty()) block.error = std::move(text);
  };
  while (i < s.size()) {
    const char c = s[i];
    if (IsBlank(c)) {
      ++i;
    } else if (c == '(') {
      const size_t close = s.find(')', i);
      const size_t inner = s.find('(', i + 1);
      if (inner < close) {
        // Controls end a comment at its first ")": the rest would be read as words.
        fail("コメントの中に ( があります (括弧の入れ子は使えません)");
        return;
      }
      if (close == std::string_view::npos) {  // a comment left open runs to the line end
        block.openComment = true;
        break;
      }
      i = close + 1;
    } else if (c == ';') {
      break;
    } else if (c == '#' || c == '[' || c == '=' || (IsLetter(c) && i + 1 < s.size() && IsLetter(s[i + 1]))) {
      block.macro = true;
      return;
    } else if (IsLetter(c)) {
      NcWord word;
      word.letter = Upper(c);
      const size_t at = i++;
      if (i < s.size() && (s[i] == '#' || s[i] == '[')) {
        block.macro = true;
        return;
      }
      int digits = 0;
      const NumberRead read = ReadNumber(s, i, word, digits);
      if (read != NumberRead::Ok) {
        fail(NumberError(read, s, at, i, digits));
        continue;
      }
      block.words.push_back(word);
    } else {
      if (IsControl(c)) fail("解釈できない制御文字 <" + ControlName(c) + "> があります");
      else if (static_cast<unsigned char>(c) >= 0x80) fail("解釈できない文字があります");
      else fail("解釈できない文字「" + std::string(1, c) + "」があります");
      ++i;
    }
  }
}

std::string EscapeControlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (IsControl(c)) out += "<" + ControlName(c) + ">";
    else out += c;
  }
  return out;
}

}  // namespace quelvo
