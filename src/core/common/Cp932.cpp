// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace quelvo {
namespace {

// Private-use characters that carry one raw byte each: U+F780 + byte.
constexpr char32_t kRawByteBase = 0xF780;
constexpr char kUnencodable = '?';

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// One iconv direction, reusable for many short conversions.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Empty result on any failure.
  std::string Run(std::string_view in) {
    if (!Valid()) return {};
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
    if (r != static_cast<size_t>(-1)) r = iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    if (r == static_cast<size_t>(-1) || srcLeft != 0) return {};
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

char32_t DecodeUtf32Be(const std::string& s) {
  if (s.size() != 4) return 0;
  return (static_cast<char32_t>(static_cast<unsigned char>(s[0])) << 24) |
         (static_cast<char32_t>(static_cast<unsigned char>(s[1])) << 16) |
         (static_cast<char32_t>(static_cast<unsigned char>(s[2])) << 8) |
         static_cast<char32_t>(static_cast<unsigned char>(s[3]));
}

std::string EncodeUtf32Be(char32_t c) {
  std::string s(4, '\0');
  s[0] = static_cast<char>(c >> 24);
  s[1] = static_cast<char>((c >> 16) & 0xFF);
  s[2] = static_cast<char>((c >> 8) & 0xFF);
  s[3] = static_cast<char>(c & 0xFF);
  return s;
}

// The code page as two tables, built once through iconv. A byte sequence is
// only entered when iconv decodes it to one character that iconv encodes back to
// the very same bytes; duplicate-mapped codes (the second code of a character)
// therefore stay out and travel as raw bytes.
struct Cp932Tables {
  std::array<char32_t, 256> single{};                 // 0 = not a character by itself
  std::array<std::array<char32_t, 256>, 256> pair{};  // [lead][trail], 0 = none
  std::unordered_map<char32_t, uint16_t> encode;      // character -> 1 or 2 bytes

  Cp932Tables() {
    Converter decoder("UTF-32BE", "CP932");
    Converter encoder("CP932", "UTF-32BE");
    auto enter = [&](const std::string& bytes) -> char32_t {
      char32_t c = DecodeUtf32Be(decoder.Run(bytes));
      if (c < 0x80 || (c >= kRawByteBase && c < kRawByteBase + 0x100)) return 0;
      if (encoder.Run(EncodeUtf32Be(c)) != bytes) return 0;
      uint16_t code = static_cast<unsigned char>(bytes[0]);
      if (bytes.size() == 2) code = static_cast<uint16_t>((code << 8) | static_cast<unsigned char>(bytes[1]));
      encode.emplace(c, code);
      return c;
    };
    for (int b = 0x80; b <= 0xFF; ++b) {
      if (!IsLeadByte(static_cast<unsigned char>(b))) single[b] = enter(std::string(1, static_cast<char>(b)));
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
        pair[lead][trail] = enter(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
  }
};

const Cp932Tables& Tables() {
  static const Cp932Tables tables;
  return tables;
}

// Length of the run of ASCII bytes starting at `from`, eight bytes at a time.
size_t AsciiRun(const char* data, size_t from, size_t size) {
  size_t i = from;
  while (i + 8 <= size) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
  }
  while (i < size && static_cast<unsigned char>(data[i]) < 0x80) ++i;
  return i - from;
}

constexpr char32_t kMalformed = 0xFFFFFFFF;

// Decodes one UTF-8 character at s[i]; advances i. Returns kMalformed for a
// malformed sequence (one byte consumed).
char32_t NextUtf8(std::string_view s, size_t& i) {
  const unsigned char b0 = static_cast<unsigned char>(s[i]);
  int len = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return kMalformed;
  }
  char32_t c = b0 & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kMalformed;
    }
    c = (c << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return kMalformed;
  }
  i += len;
  return c;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  const char* data = bytes.data();
  const size_t size = bytes.size();
  const Cp932Tables* tables = nullptr;
  size_t i = 0;
  while (i < size) {
    const size_t run = AsciiRun(data, i, size);
    out.append(data + i, run);
    i += run;
    if (i >= size) break;
    if (!tables) tables = &Tables();
    const unsigned char b = static_cast<unsigned char>(data[i]);
    char32_t c = 0;
    size_t used = 1;
    if (IsLeadByte(b)) {
      if (i + 1 < size) {
        c = tables->pair[b][static_cast<unsigned char>(data[i + 1])];
        used = 2;
      }
    } else {
      c = tables->single[b];
    }
    if (c == 0) {
      // Not a character of the code page: keep the lead byte alone and look at
      // the next byte afresh, so an ASCII byte after a stray lead byte stays ASCII.
      c = kRawByteBase + b;
      used = 1;
    }
    AppendUtf8(out, c);
    i += used;
  }
  return out;
}

namespace {
// The CP932 bytes of one character that is not ASCII, empty when it has none.
// Raw-byte characters give their byte back; characters outside the table (other
// forms of a mapped character, such as the wave dash) get whatever iconv makes
// of them.
std::string EncodeCharacter(const Cp932Tables& tables, char32_t c) {
  if (c >= kRawByteBase && c < kRawByteBase + 0x100) return std::string(1, static_cast<char>(c - kRawByteBase));
  auto found = tables.encode.find(c);
  if (found != tables.encode.end()) {
    std::string bytes;
    if (found->second > 0xFF) bytes += static_cast<char>(found->second >> 8);
    bytes += static_cast<char>(found->second & 0xFF);
    return bytes;
  }
  return c == kMalformed ? std::string() : Converter("CP932", "UTF-32BE").Run(EncodeUtf32Be(c));
}
}  // namespace

std::string Utf8ToCp932(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const char* data = text.data();
  const size_t size = text.size();
  const Cp932Tables* tables = nullptr;
  size_t i = 0;
  while (i < size) {
    const size_t run = AsciiRun(data, i, size);
    out.append(data + i, run);
    i += run;
    if (i >= size) break;
    if (!tables) tables = &Tables();
    const std::string bytes = EncodeCharacter(*tables, NextUtf8(text, i));
    if (bytes.empty())
      out += kUnencodable;
    else
      out += bytes;
  }
  return out;
}

std::vector<UnencodableLine> FindUnencodable(std::string_view text) {
  std::vector<UnencodableLine> found;
  const char* data = text.data();
  const size_t size = text.size();
  size_t line = 1;
  size_t i = 0;
  while (i < size) {
    const unsigned char b = static_cast<unsigned char>(data[i]);
    if (b < 0x80) {
      if (b == '\n' || (b == '\r' && (i + 1 == size || data[i + 1] != '\n'))) ++line;
      ++i;
      continue;
    }
    const size_t from = i;
    const char32_t c = NextUtf8(text, i);
    if (!EncodeCharacter(Tables(), c).empty()) continue;
    const std::string character = c == kMalformed ? std::string("\xEF\xBF\xBD") : std::string(text.substr(from, i - from));
    if (found.empty() || found.back().line != line) found.push_back({line, {}});
    std::vector<std::string>& characters = found.back().characters;
    if (std::find(characters.begin(), characters.end(), character) == characters.end())
      characters.push_back(character);
  }
  return found;
}

}  // namespace quelvo
