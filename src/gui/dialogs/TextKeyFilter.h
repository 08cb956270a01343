// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt side of the settings fields' key filters: refusing character keys and
// cleaning text that arrived another way (pasting).
#include "core/settings/InputFilter.h"

class QKeyEvent;
class QLineEdit;

namespace quelvo {

// True when the key types a character the filter refuses. Keys that type no
// printable character (Backspace, Tab, Escape, arrows, shortcuts) pass.
bool RefusesCharacterKey(const QKeyEvent& key, InputFilter filter);

// Removes refused characters from the field's text and, when `upperCase`,
// upper-cases its ASCII letters; the cursor stays where it was.
void CleanFieldText(QLineEdit& edit, InputFilter filter, bool upperCase);

}  // namespace quelvo
