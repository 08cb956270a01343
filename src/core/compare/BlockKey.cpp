// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/compare/BlockKey.h"

#include <algorithm>

namespace quelvo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Addresses whose numbers are lengths or angles: without a decimal point the
// control reads them in its least increment.
bool ReadsInIncrement(char letter) {
  switch (letter) {
    case 'X': case 'Y': case 'Z': case 'U': case 'V': case 'W': case 'A': case 'B': case 'C':
    case 'I': case 'J': case 'K': case 'R': case 'Q':
      return true;
    default:
      return false;
  }
}

// The end of [+-]digits[.digits] starting at i; i itself when there is no digit.
std::size_t NumberEnd(std::string_view s, std::size_t i) {
  std::size_t j = i;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
  bool digit = false, point = false;
  for (; j < s.size(); ++j) {
    if (IsDigit(s[j])) digit = true;
    else if (s[j] == '.' && !point) point = true;
    else break;
  }
  return digit ? j : i;
}

// Appends the number `text` ([+-]digits[.digits]) written one way: no plus
// sign, no leading zeros before the point, no trailing zeros after it, no
// point without a fraction, no minus before zero. `shift` moves the point that
// many places to the left first (the least-increment reading).
void AppendNumberByValue(std::string_view text, int shift, std::string& out) {
  bool negative = false;
  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  const std::size_t point = text.find('.', i);
  const std::string_view whole = text.substr(i, point == std::string_view::npos ? std::string_view::npos : point - i);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  // The digits of whole and fraction in a row, the point before digit p; digits
  // before the first (k < 0) are the zeros a shift to the left brings in.
  const long w = static_cast<long>(whole.size()), end = w + static_cast<long>(fraction.size());
  const long p = w - shift;
  auto digit = [&](long k) { return k < 0 ? '0' : k < w ? whole[static_cast<std::size_t>(k)] : fraction[static_cast<std::size_t>(k - w)]; };
  long first = std::min(0L, p);
  while (first < p && digit(first) == '0') ++first;
  long last = end;
  while (last > p && digit(last - 1) == '0') --last;
  if (negative && (first < p || last > p)) out += '-';
  if (first == p) out += '0';
  for (long k = first; k < p; ++k) out += digit(k);
  if (last > p) {
    out += '.';
    for (long k = p; k < last; ++k) out += digit(k);
  }
}

// True when the word's number is exactly `value` (G20, G020, G20.0).
bool NumberIs(std::string_view text, int value) {
  std::string canonical;
  AppendNumberByValue(text, 0, canonical);
  return canonical == std::to_string(value);
}

// Walks `line` piece by piece, appending each piece's key to `key` and telling
// `sink(begin, end, keyBegin)` where the piece lies and where its key starts.
template <typename Sink>
void ScanBlock(std::string_view s, const CompareOptions& o, bool& inch, std::string& key, Sink&& sink) {
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t begin = i, keyBegin = key.size();
    const char c = s[i];
    if (IsBlank(c)) {
      while (i < s.size() && IsBlank(s[i])) ++i;
      if (!o.ignoreBlanks) key.append(s.substr(begin, i - begin));
    } else if (c == '(' || c == ';') {
      if (c == ';') {
        i = s.size();
      } else {
        const std::size_t close = s.find(')', i);
        i = close == std::string_view::npos ? s.size() : close + 1;
      }
      if (!o.ignoreComments) {
        for (std::size_t k = begin; k < i; ++k)
          if (!(o.ignoreBlanks && IsBlank(s[k]))) key += s[k];
      }
    } else if (IsLetter(c)) {
      const std::size_t numberBegin = i + 1, numberEnd = NumberEnd(s, numberBegin);
      i = numberEnd > numberBegin ? numberEnd : i + 1;
      const std::string_view number = s.substr(numberBegin, numberEnd - numberBegin);
      const char letter = Upper(c);
      if (number.empty()) {
        key += o.numbersByValue ? letter : c;
      } else if (!(o.ignoreSequenceNumbers && letter == 'N')) {
        if (o.numbersByValue) {
          if (letter == 'G' && NumberIs(number, 20)) inch = true;
          if (letter == 'G' && NumberIs(number, 21)) inch = false;
          const bool pointless = number.find('.') == std::string_view::npos;
          const int shift = o.pointlessInIncrement && pointless && ReadsInIncrement(letter) ? (inch ? 4 : 3) : 0;
          key += letter;
          AppendNumberByValue(number, shift, key);
        } else {
          key.append(s.substr(begin, i - begin));
        }
      }
    } else {
      // One character; a UTF-8 sequence stays whole.
      ++i;
      if (static_cast<unsigned char>(c) >= 0xC0)
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
      key.append(s.substr(begin, i - begin));
    }
    sink(begin, i, keyBegin);
  }
}

}  // namespace

void BlockKeyReader::Read(std::string_view line, std::string& key) {
  key.clear();
  if (!options_.numbersByValue && !options_.ignoreComments && !options_.ignoreSequenceNumbers) {
    // No word needs reading: the line is its own key, less its blanks when they do not count.
    if (!options_.ignoreBlanks) {
      key.assign(line);
    } else {
      for (char c : line)
        if (!IsBlank(c)) key += c;
    }
    return;
  }
  ScanBlock(line, options_, inch_, key, [](std::size_t, std::size_t, std::size_t) {});
}

std::vector<BlockToken> SplitBlockTokens(std::string_view line, const CompareOptions& options) {
  std::vector<BlockToken> tokens;
  std::string key;
  bool inch = false;
  ScanBlock(line, options, inch, key, [&](std::size_t begin, std::size_t end, std::size_t keyBegin) {
    tokens.push_back({begin, end, key.substr(keyBegin)});
  });
  return tokens;
}

bool IsFrameLine(std::string_view line) {
  for (char c : line)
    if (!(IsBlank(c) || c == '%' || c == '\x7f')) return false;
  return true;
}

}  // namespace quelvo
