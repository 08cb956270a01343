// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the bytes of a file are UTF-8 text rather than Shift-JIS (CP932),
// the encoding Quelvo reads. Read as CP932, UTF-8 Japanese turns into other
// characters and can swallow the byte after it (a ")" or a line end), so the
// check and the editor say what the file is instead of what it seems to hold.
#include <string>

namespace quelvo {

struct Utf8Look {
  bool utf8 = false;  // valid UTF-8 with at least one character beyond ASCII
  int line = 0;       // where the first such character stands (from 1; the
  int column = 0;     // column counts bytes, as the check's columns do)
};

// CP932 text is valid UTF-8 only by rare chance (a lead byte 0xE0..0xEF
// followed by exactly the right trail bytes), never over a line of Japanese.
Utf8Look LookForUtf8(const std::string& bytes);

// The words for the user, in the check's finding and the editor's hint.
inline constexpr const char* kNotShiftJisText =
    "このファイルは Shift-JIS ではなく UTF-8 で書かれています。"
    "このまま送ると文字が化けます。Shift-JIS で保存し直してください";

}  // namespace quelvo
