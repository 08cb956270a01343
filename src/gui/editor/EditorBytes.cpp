// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/editor/EditorBytes.h"

#include <Qsci/qsciscintilla.h>

namespace quelvo {

std::string_view EditorBytes(QsciScintilla* editor) {
  const long length = editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  // Joins the buffer's two halves once; later calls return the same pointer.
  const auto* data = reinterpret_cast<const char*>(
      editor->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
  if (data == nullptr || length <= 0) return {};
  return std::string_view(data, static_cast<std::size_t>(length));
}

}  // namespace quelvo
