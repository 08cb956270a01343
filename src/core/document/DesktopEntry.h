// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Launchers for the desktop: "Quelvo.desktop" in the user's desktop folder and
// "quelvo.desktop" in the user's applications folder, where its MIME types make
// file managers offer Quelvo in "Open With". Both start the given program with
// the chosen file as its only argument (a plain path on the command line).
#include <string>

namespace quelvo {

enum class ShortcutKind { Desktop = 1, SendTo = 2 };

// The desktop folder (`xdg-user-dir DESKTOP`, else $HOME/Desktop) or the
// applications folder ($XDG_DATA_HOME/applications, else
// $HOME/.local/share/applications). Empty when no home folder is known.
std::string ShortcutFolder(ShortcutKind kind);
// Folder + "/Quelvo.desktop" or "/quelvo.desktop"; empty without a folder.
std::string ShortcutPath(ShortcutKind kind);
// The contents of the entry for the program at programPath (an absolute path).
std::string DesktopEntryText(ShortcutKind kind, const std::string& programPath);
// Where the program's icon goes in the user's icon theme:
// $XDG_DATA_HOME (else $HOME/.local/share) + "/icons/hicolor/scalable/apps/quelvo.svg";
// the entries name it "Icon=quelvo". Empty when no home folder is known.
std::string IconPath();
// Writes the entry, creating the folder when missing and replacing an existing
// entry of that name, and, when iconSvg is not empty, the icon at IconPath().
// Failures are silent for the user; the result only says whether both were
// written.
bool CreateShellShortcut(ShortcutKind kind, const std::string& programPath, const std::string& iconSvg = {});

}  // namespace quelvo
