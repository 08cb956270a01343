// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quelvo {
namespace {

// One element of a pattern: a digit placeholder, the decimal point, a grouping
// comma, or a literal (one whole UTF-8 character).
struct PatternItem {
  enum Kind { kZero, kHash, kPoint, kComma, kLiteral } kind;
  std::string text;
};

std::vector<PatternItem> ParsePattern(const std::string& pattern) {
  std::vector<PatternItem> items;
  for (size_t i = 0; i < pattern.size();) {
    const unsigned char b = static_cast<unsigned char>(pattern[i]);
    size_t len = 1;
    if (b >= 0xC0) len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    if (i + len > pattern.size()) len = pattern.size() - i;
    PatternItem item{PatternItem::kLiteral, pattern.substr(i, len)};
    if (len == 1) {
      switch (pattern[i]) {
        case '0': item.kind = PatternItem::kZero; break;
        case '#': item.kind = PatternItem::kHash; break;
        case '.': item.kind = PatternItem::kPoint; break;
        case ',': item.kind = PatternItem::kComma; break;
        default: break;
      }
    }
    items.push_back(item);
    i += len;
  }
  return items;
}

bool IsDigitPlaceholder(const PatternItem& item) {
  return item.kind == PatternItem::kZero || item.kind == PatternItem::kHash;
}

// |value| rounded half away from zero to `decimals` places, as the decimal
// digits of |value| * 10^decimals. The value is first taken to the 15
// significant digits a double holds reliably, so a binary near-miss such as
// 2.675 (stored as 2.67499999...) rounds the way its decimal text reads.
std::string ScaledDigits(double magnitude, int decimals) {
  constexpr int kSignificant = 15;
  if (magnitude == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", kSignificant - 1, magnitude);
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits += *p;
  }
  const int exponent = std::atoi(p + 1);
  const long keep = static_cast<long>(exponent) + 1 + decimals;  // digits left of the cut
  if (keep < 0) return "0";
  if (keep == 0) return digits[0] >= '5' ? "1" : "0";
  std::string scaled = digits.substr(0, static_cast<size_t>(std::min<long>(keep, kSignificant)));
  if (keep > kSignificant) scaled.append(static_cast<size_t>(keep - kSignificant), '0');
  if (keep < kSignificant && digits[static_cast<size_t>(keep)] >= '5') {
    int k = static_cast<int>(scaled.size()) - 1;
    while (k >= 0 && scaled[k] == '9') scaled[k--] = '0';
    if (k < 0) scaled.insert(scaled.begin(), '1');
    else ++scaled[k];
  }
  return scaled;
}

}  // namespace

std::string FormatFloat(const std::string& pattern, double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

  const std::vector<PatternItem> items = ParsePattern(pattern);
  size_t point = items.size();
  bool grouping = false;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].kind == PatternItem::kPoint && point == items.size()) point = i;
    if (items[i].kind == PatternItem::kComma) grouping = true;
  }

  // Integer part: placeholders before the point; the digits from the first "0"
  // onwards are always shown. Fraction: placeholders after the point; those up to
  // the last "0" are always shown.
  int intPlaces = 0, intMin = 0, fracPlaces = 0, fracMin = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (!IsDigitPlaceholder(items[i])) continue;
    if (i < point) {
      ++intPlaces;
      if (items[i].kind == PatternItem::kZero && intMin == 0) intMin = 1;
      else if (intMin > 0) ++intMin;
    } else {
      ++fracPlaces;
      if (items[i].kind == PatternItem::kZero) fracMin = fracPlaces;
    }
  }

  std::string scaled = ScaledDigits(std::fabs(value), fracPlaces);
  if (scaled.size() < static_cast<size_t>(fracPlaces) + 1) {
    scaled.insert(0, static_cast<size_t>(fracPlaces) + 1 - scaled.size(), '0');
  }
  std::string intDigits = scaled.substr(0, scaled.size() - fracPlaces);
  std::string fracDigits = scaled.substr(scaled.size() - fracPlaces);
  const bool isZero = scaled.find_first_not_of('0') == std::string::npos;
  intDigits.erase(0, std::min(intDigits.find_first_not_of('0'), intDigits.size()));
  if (intDigits.size() < static_cast<size_t>(intMin)) intDigits.insert(0, intMin - intDigits.size(), '0');
  int fracShown = fracPlaces;
  while (fracShown > fracMin && fracDigits[fracShown - 1] == '0') --fracShown;

  std::string out;
  if (value < 0 && !isZero) out += '-';
  const int intCount = static_cast<int>(intDigits.size());
  auto emitIntDigit = [&](int fromRight) {
    out += intDigits[intCount - 1 - fromRight];
    if (grouping && fromRight > 0 && fromRight % 3 == 0) out += ',';
  };
  int intSeen = 0, fracSeen = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    const PatternItem& item = items[i];
    if (IsDigitPlaceholder(item) && i < point) {
      const int fromRight = intPlaces - 1 - intSeen;
      if (intSeen == 0) {
        // The first placeholder also takes every digit the pattern has no room for.
        for (int r = intCount - 1; r > fromRight; --r) emitIntDigit(r);
      }
      if (fromRight < intCount) emitIntDigit(fromRight);
      ++intSeen;
    } else if (IsDigitPlaceholder(item)) {
      if (fracSeen < fracShown) out += fracDigits[fracSeen];
      ++fracSeen;
    } else if (item.kind == PatternItem::kPoint && i == point) {
      if (intPlaces == 0) {
        for (int r = intCount - 1; r >= 0; --r) emitIntDigit(r);
      }
      if (fracShown > 0) out += '.';
    } else if (item.kind == PatternItem::kLiteral) {
      out += item.text;
    }
  }
  return out;
}

}  // namespace quelvo
