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

// Reads [+-]digits[.digits] at `i`; false when there is no digit.
bool ReadNumber(std::string_view s, size_t& i, NcWord& word) {
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  uint64_t mantissa = 0;
  int digits = 0, fraction = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      if (digits < 18) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
        ++digits;
        if (point) ++fraction;
      } else if (!point) {
        return false;  // too many digits to be a word of a program
      }
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  const double value = static_cast<double>(mantissa) / kPow10[fraction];
  word.value = negative ? -value : value;
  word.hasPoint = point;
  return true;
}

}  // namespace

void NcBlock::Clear() {
  words.clear();
  deleted = percent = programNumber = macro = false;
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
  while (i < s.size()) {
    const char c = s[i];
    if (IsBlank(c)) {
      ++i;
    } else if (c == '(') {
      const size_t close = s.find(')', i);
      if (close == std::string_view::npos) break;  // a comment left open runs to the line end
      i = close + 1;
    } else if (c == ';') {
      break;
    } else if (c == '#' || c == '[' || c == '=' || (IsLetter(c) && i + 1 < s.size() && IsLetter(s[i + 1]))) {
      block.macro = true;
      return;
    } else if (IsLetter(c)) {
      NcWord word;
      word.letter = Upper(c);
      ++i;
      if (i < s.size() && (s[i] == '#' || s[i] == '[')) {
        block.macro = true;
        return;
      }
      if (!ReadNumber(s, i, word)) {
        if (block.error.empty()) block.error = std::string(1, word.letter) + " に数値がありません";
        continue;
      }
      block.words.push_back(word);
    } else {
      if (block.error.empty()) {
        const unsigned char u = static_cast<unsigned char>(c);
        block.error = u >= 0x80 ? std::string("解釈できない文字があります")
                                : "解釈できない文字「" + std::string(1, c) + "」があります";
      }
      ++i;
    }
  }
}

}  // namespace quelvo
