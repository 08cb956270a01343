// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of the tool-bar buttons, from the style where it has a fitting one,
// otherwise drawn.
#include <QIcon>

namespace quelvo {

enum class ToolPicture { New, Open, Save, Cut, Copy, Paste, Undo, Find, Print, Receive, Send, Repeat, Setting, Stop };

QIcon ToolIcon(ToolPicture picture);

}  // namespace quelvo
