// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/IniFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"

namespace quelvo {
namespace {

constexpr size_t kValueReadCap = 2047;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Names are CP932 bytes; only the ASCII letters fold.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    if (end > start && bytes[end - 1] == '\r') --end;
    lines.push_back(bytes.substr(start, end - start));
    start = next;
  }
  return lines;
}

// "[Name]" (blanks around allowed): true and the trimmed name.
bool SectionHeader(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  *name = Trim(line.substr(1, close - 1));
  return true;
}

// "Key=Value": true, the trimmed key and the value (the text after "=").
bool Entry(std::string_view line, std::string_view* key, std::string_view* value) {
  const std::string_view lead = Trim(line);
  if (lead.empty() || lead.front() == ';' || lead.front() == '[') return false;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(line.substr(0, eq));
  *value = line.substr(eq + 1);
  return !key->empty();
}

// Where a section and a key stand among the lines (first section of that name).
struct Location {
  size_t header = SIZE_MAX;       // the section's header line
  size_t lastContent = SIZE_MAX;  // its last non-blank line (the header if none)
  size_t entry = SIZE_MAX;        // the key's line
};

Location Locate(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  Location at;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (SectionHeader(lines[i], &name)) {
      if (at.header != SIZE_MAX) break;
      if (SameName(name, section)) at.header = at.lastContent = i;
      continue;
    }
    if (at.header == SIZE_MAX) continue;
    if (!Trim(lines[i]).empty()) at.lastContent = i;
    std::string_view entryKey, value;
    if (at.entry == SIZE_MAX && Entry(lines[i], &entryKey, &value) && SameName(entryKey, key)) at.entry = i;
  }
  return at;
}

// Cuts a CP932 value at `cap` bytes without splitting a double-byte character.
std::string_view CapValue(std::string_view value, size_t cap) {
  if (value.size() <= cap) return value;
  size_t i = 0;
  while (i < cap) {
    const unsigned char b = static_cast<unsigned char>(value[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const size_t len = lead ? 2 : 1;
    if (i + len > cap) break;
    i += len;
  }
  return value.substr(0, i);
}

bool ParseInteger(std::string_view text, int* out) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint64_t magnitude = 0;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) {
    text.remove_prefix(2);
    if (text.empty()) return false;
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    if (text.size() > 8) return false;
    for (char c : text) {
      int digit;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else return false;
      magnitude = magnitude * 16 + static_cast<uint64_t>(digit);
    }
    // Hexadecimal text is a 32-bit pattern: 0xFFFFFFFF is -1.
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    *out = static_cast<int32_t>(bits);
    return true;
  }
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    if (magnitude > 2147483648ull) return false;
  }
  if (!negative && magnitude > 2147483647ull) return false;
  *out = negative ? static_cast<int>(-static_cast<int64_t>(magnitude)) : static_cast<int>(magnitude);
  return true;
}

// The file's bytes; a missing file (or a missing folder) reads as empty. False
// when the file exists but cannot be read, so that a write never replaces a
// file whose content it could not see.
bool LoadBytes(const std::string& path, std::string* bytes, std::string* reason) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      bytes->clear();
      return true;
    }
    *reason = std::strerror(errno);
    return false;
  }
  return ReadWholeFile(path, bytes, reason);
}

// A line break inside a value would split it into lines of its own.
std::string OneLine(std::string value) {
  for (char& c : value) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  std::string bytes, reason;
  if (!LoadBytes(path_, &bytes, &reason)) return def;
  const std::vector<std::string> lines = SplitLines(bytes);
  const Location at = Locate(lines, Utf8ToCp932(section), Utf8ToCp932(key));
  if (at.entry == SIZE_MAX) return def;
  std::string_view entryKey, value;
  Entry(lines[at.entry], &entryKey, &value);
  return Cp932ToUtf8(CapValue(value, kValueReadCap));
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  int value;
  return ParseInteger(ReadString(section, key, std::string()), &value) ? value : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  writeError_.clear();
  systemReason_.clear();
  std::string bytes;
  bool ok = LoadBytes(path_, &bytes, &systemReason_);
  if (ok) {
    std::vector<std::string> lines = SplitLines(bytes);
    const std::string sectionBytes = Utf8ToCp932(section);
    const std::string keyBytes = Utf8ToCp932(key);
    const std::string entry = keyBytes + "=" + Utf8ToCp932(OneLine(value));
    const Location at = Locate(lines, sectionBytes, keyBytes);
    if (at.entry != SIZE_MAX) {
      lines[at.entry] = entry;
    } else if (at.header != SIZE_MAX) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at.lastContent) + 1, entry);
    } else {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
      lines.push_back("[" + sectionBytes + "]");
      lines.push_back(entry);
    }
    std::string out;
    out.reserve(bytes.size() + entry.size() + 8);
    for (const std::string& line : lines) {
      out += line;
      out += "\r\n";
    }
    ok = WriteFileAtomically(path_, out, &systemReason_);
  }
  if (!ok) writeError_ = path_ + " に書き込めません";
  return ok;
}

bool IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

}  // namespace quelvo
