// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/OspFileName.h"

#include <algorithm>
#include <array>

namespace quelvo {
namespace {

constexpr std::array<const char*, 6> kKnownExtensions = {".MIN", ".SUB", ".SDF",
                                                         ".RBT", ".SSB", ".RPD"};

// Upper case for ASCII letters only: the bytes of other UTF-8 characters stay.
std::string AsciiUpper(std::string text) {
  for (char& ch : text) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return text;
}

}  // namespace

std::string OspFileName(const std::string& fileName) {
  const size_t slash = fileName.rfind('/');
  std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : AsciiUpper(name.substr(dot));
  const bool known = std::any_of(kKnownExtensions.begin(), kKnownExtensions.end(),
                                 [&](const char* e) { return extension == e; });
  if (!known) name = (dot == std::string::npos ? name : name.substr(0, dot)) + ".MIN";
  return AsciiUpper(name);
}

}  // namespace quelvo
