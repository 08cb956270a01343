// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop services of the help and file menus: the About box and the
// launchers that let the desktop start Quelvo with a file.
#include "core/document/DesktopEntry.h"

class QString;
class QWidget;

namespace quelvo {

// The About box owned by `owner`: "Quelvo" + versionSuffix (" Ver1.47") and the
// program's icon.
void ShowAboutBox(QWidget* owner, const QString& versionSuffix);
// Writes the launcher of the given kind for the running program, and the
// program's icon into the user's icon theme; silent.
void CreateShellShortcut(ShortcutKind kind);

}  // namespace quelvo
