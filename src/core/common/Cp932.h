// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lossless CP932 codec: CP932 exists only on disk and on the wire; in memory
// text is UTF-8. Bytes that do not decode (or do not encode back to the same
// bytes) become private-use characters U+F780 + byte and are written back as
// those bytes, so decode followed by encode always gives the original bytes.
#include <string>
#include <string_view>
#include <vector>

namespace quelvo {

std::string Cp932ToUtf8(std::string_view bytes);
// Characters with no CP932 form are written as "?".
std::string Utf8ToCp932(std::string_view text);

// The characters of a text that Utf8ToCp932 writes as "?", by line: lines count
// from 1 and end at CR LF, LF or CR; each line lists its characters (UTF-8, a
// malformed byte as U+FFFD) once each, in the order they first occur.
struct UnencodableLine {
  std::size_t line = 0;
  std::vector<std::string> characters;
};
std::vector<UnencodableLine> FindUnencodable(std::string_view text);

}  // namespace quelvo
