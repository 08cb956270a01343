// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The document of an editor control as one run of UTF-8 bytes, straight from
// the control's buffer: no copy, valid until the control's text next changes.
#include <string_view>

class QsciScintilla;

namespace quelvo {

std::string_view EditorBytes(QsciScintilla* editor);

}  // namespace quelvo
