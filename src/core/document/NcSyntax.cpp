// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/NcSyntax.h"

#include <algorithm>

namespace quelvo {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

NcStyle StyleOfAddress(char letter) {
  switch (Upper(letter)) {
    case 'O': return NcStyle::ProgramNumber;
    case 'N': return NcStyle::Sequence;
    case 'G': return NcStyle::GCode;
    case 'M': return NcStyle::MCode;
    case 'X': case 'Y': case 'Z': case 'A': case 'B': case 'C': case 'U': case 'V': case 'W':
    case 'I': case 'J': case 'K': case 'R':
      return NcStyle::Axis;
    case 'F': case 'S': case 'T': case 'H': case 'D':
      return NcStyle::Word;
    default:
      return NcStyle::Default;
  }
}

class LineStyler {
 public:
  LineStyler(std::string_view line, NcStyle* out) : s_(line), out_(out) {}

  void Run() {
    while (i_ < s_.size()) {
      const char c = s_[i_];
      if (c == '(') {
        Comment();
      } else if (macroRest_) {
        Put(i_ + 1, NcStyle::Macro);
      } else if (c == '%') {
        Put(i_ + 1, NcStyle::Percent);
      } else if (c == '#' || c == '[') {
        // An expression standing where a word belongs: an assignment
        // ("#1=#2+1") or a statement; the rest of the line belongs to it.
        macroRest_ = true;
      } else if (c == ':' && i_ + 1 < s_.size() && IsDigit(s_[i_ + 1])) {
        Put(i_ + 1, NcStyle::ProgramNumber);
        Number(NcStyle::ProgramNumber);
      } else if (IsLetter(c)) {
        Word();
      } else {
        Put(i_ + 1, NcStyle::Default);
      }
    }
  }

 private:
  void Put(std::size_t end, NcStyle style) {
    std::fill(out_ + i_, out_ + end, style);
    i_ = end;
  }

  void Comment() {
    const std::size_t close = s_.find(')', i_ + 1);
    Put(close == std::string_view::npos ? s_.size() : close + 1, NcStyle::Comment);
  }

  // An address letter and its value. Two or more letters in a row are a macro
  // statement word (IF, GOTO, WHILE, DO, END): the rest of the line is macro.
  void Word() {
    std::size_t end = i_;
    while (end < s_.size() && IsLetter(s_[end])) ++end;
    if (end - i_ >= 2) {
      macroRest_ = true;
      return;
    }
    const NcStyle style = StyleOfAddress(s_[i_]);
    Put(i_ + 1, style);
    if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) Put(i_ + 1, style);
    if (i_ < s_.size() && (s_[i_] == '#' || s_[i_] == '[')) {
      MacroValue();
    } else {
      Number(style);
    }
  }

  void Number(NcStyle style) {
    std::size_t end = i_;
    while (end < s_.size() && (IsDigit(s_[end]) || s_[end] == '.')) ++end;
    Put(end, style);
  }

  // "#12", "#[#1+2]" or "[#1*2]" as a word's value; a bracket runs to its
  // matching "]", or to a comment or the line end when it is not closed.
  void MacroValue() {
    if (s_[i_] == '#') {
      Put(i_ + 1, NcStyle::Macro);
      if (i_ < s_.size() && s_[i_] != '[') {
        std::size_t end = i_;
        while (end < s_.size() && IsDigit(s_[end])) ++end;
        Put(end, NcStyle::Macro);
        return;
      }
    }
    int depth = 0;
    std::size_t end = i_;
    for (; end < s_.size() && s_[end] != '('; ++end) {
      if (s_[end] == '[') ++depth;
      if (s_[end] == ']' && --depth == 0) {
        ++end;
        break;
      }
    }
    Put(end, NcStyle::Macro);
  }

  std::string_view s_;
  NcStyle* out_;
  std::size_t i_ = 0;
  bool macroRest_ = false;
};

}  // namespace

void StyleNcLine(std::string_view line, NcStyle* out) { LineStyler(line, out).Run(); }

void StyleNcText(std::string_view text, NcStyle* out) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    StyleNcLine(text.substr(start, end - start), out + start);
    start = end;
    while (start < text.size() && (text[start] == '\r' || text[start] == '\n')) out[start++] = NcStyle::Default;
  }
}

}  // namespace quelvo
