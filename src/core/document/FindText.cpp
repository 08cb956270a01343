// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FindText.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quelvo {
namespace {

// Folds ASCII letters to upper case; bytes of multi-byte UTF-8 sequences are
// never ASCII, so folding byte by byte cannot touch them.
struct CaseFold {
  std::array<unsigned char, 256> upper{};
  CaseFold() {
    for (int b = 0; b < 256; ++b)
      upper[b] = static_cast<unsigned char>((b >= 'a' && b <= 'z') ? b - 'a' + 'A' : b);
  }
  unsigned char operator()(char c) const { return upper[static_cast<unsigned char>(c)]; }
};

const CaseFold& Fold() {
  static const CaseFold fold;
  return fold;
}

bool EqualFolded(const char* a, std::string_view b) {
  const CaseFold& fold = Fold();
  for (std::size_t i = 0; i < b.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// A one-byte text: the C library's byte scans, once per case of a letter.
std::optional<std::size_t> SearchByte(std::string_view document, char byte, std::size_t from,
                                      std::size_t before, FindDirection direction) {
  if (from >= before || before > document.size()) return std::nullopt;
  const char upper = static_cast<char>(Fold()(byte));
  const char lower = (upper >= 'A' && upper <= 'Z') ? static_cast<char>(upper - 'A' + 'a') : upper;
  const char* base = document.data() + from;
  const std::size_t length = before - from;
  const void* hits[2];
  for (int i = 0; i < 2; ++i) {
    const char wanted = i == 0 ? upper : lower;
    hits[i] = direction == FindDirection::Down ? std::memchr(base, wanted, length)
                                               : memrchr(base, wanted, length);
  }
  const char* a = static_cast<const char*>(hits[0]);
  const char* b = static_cast<const char*>(hits[1]);
  const char* hit = !a ? b : !b ? a : direction == FindDirection::Down ? std::min(a, b) : std::max(a, b);
  if (hit == nullptr) return std::nullopt;
  return static_cast<std::size_t>(hit - document.data());
}

// Horspool shift table over folded bytes. Forward: keyed by the last byte of
// the window; backward: keyed by the first byte.
std::array<std::size_t, 256> ShiftTable(std::string_view text, FindDirection direction) {
  const CaseFold& fold = Fold();
  const std::size_t n = text.size();
  std::array<std::size_t, 256> shift;
  shift.fill(n);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const std::size_t at = direction == FindDirection::Down ? i : n - 1 - i;
    shift[fold(text[at])] = n - 1 - i;
  }
  return shift;
}

// First match starting in [from, document end).
std::optional<std::size_t> SearchForward(std::string_view document, std::string_view text,
                                         std::size_t from) {
  const std::size_t n = text.size();
  if (from > document.size() || document.size() - from < n) return std::nullopt;
  if (n == 1) return SearchByte(document, text[0], from, document.size(), FindDirection::Down);
  const auto shift = ShiftTable(text, FindDirection::Down);
  const CaseFold& fold = Fold();
  const char* data = document.data();
  const std::size_t last = document.size() - n;
  for (std::size_t pos = from; pos <= last; pos += shift[fold(data[pos + n - 1])]) {
    if (EqualFolded(data + pos, text)) return pos;
  }
  return std::nullopt;
}

// Last match starting in [0, before).
std::optional<std::size_t> SearchBackward(std::string_view document, std::string_view text,
                                          std::size_t before) {
  const std::size_t n = text.size();
  if (before == 0 || document.size() < n) return std::nullopt;
  if (n == 1)
    return SearchByte(document, text[0], 0, std::min(before, document.size()), FindDirection::Up);
  const auto shift = ShiftTable(text, FindDirection::Up);
  const CaseFold& fold = Fold();
  const char* data = document.data();
  std::size_t pos = before - 1;
  if (pos > document.size() - n) pos = document.size() - n;
  for (;;) {
    if (EqualFolded(data + pos, text)) return pos;
    const std::size_t step = shift[fold(data[pos])];
    if (pos < step) return std::nullopt;
    pos -= step;
  }
}

}  // namespace

std::optional<std::size_t> FindInDocument(std::string_view document, std::string_view text,
                                          FindDirection direction, EditorSelection selection) {
  // The find field holds one line; a text with a line break cannot lie inside a
  // line, and matching across line ends would differ between the directions.
  if (text.empty() || HoldsLineBreak(text)) return std::nullopt;
  if (direction == FindDirection::Down)
    return SearchForward(document, text, selection.start + selection.length);
  // Matches never span a line end, so the last match beginning before the
  // selection start is the caret line's last match before the caret, or the
  // last match of the nearest earlier line that holds the text.
  return SearchBackward(document, text, selection.start);
}

int LinesToScrollForMatch(int matchLine, int firstVisibleLine) {
  if (matchLine <= 0) return -firstVisibleLine;
  return matchLine - firstVisibleLine - 1;
}

}  // namespace quelvo
