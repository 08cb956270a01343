// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/TextKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace quelvo {

bool RefusesCharacterKey(const QKeyEvent& key, InputFilter filter) {
  const QString text = key.text();
  if (text.isEmpty()) return false;
  for (const char32_t ch : text.toUcs4()) {
    if (ch < 0x20 || ch == 0x7F) continue;  // control keys, not characters
    if (!InputFilterAccepts(filter, ch)) return true;
  }
  return false;
}

void CleanFieldText(QLineEdit& edit, InputFilter filter, bool upperCase) {
  const std::string before = edit.text().toStdString();
  std::string after = FilterText(filter, before);
  if (upperCase) after = UpperAscii(after);
  if (after == before) return;
  const QString cleaned = QString::fromStdString(after);
  const int cursor = edit.cursorPosition();
  const int removed = static_cast<int>(edit.text().size() - cleaned.size());
  edit.setText(cleaned);
  edit.setCursorPosition(std::max(0, cursor - removed));
}

}  // namespace quelvo
