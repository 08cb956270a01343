// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a settings dialog does with unsaved changes when it closes: it asks
// whether to close without saving, and anything but an explicit Yes keeps the
// user's work by saving (or applying) first.

namespace quelvo {

enum class CloseAnswer { Yes, No, Other };

inline bool SaveBeforeClosing(bool unsavedChanges, CloseAnswer answer) {
  return unsavedChanges && answer != CloseAnswer::Yes;
}

}  // namespace quelvo
