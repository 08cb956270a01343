// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own picture, a strip of punched paper tape: the SVG file
// data/icons/quelvo.svg, built into the program as a resource. The window, the
// About box and the desktop launchers use it.
#include <QByteArray>
#include <QIcon>

namespace quelvo {

QIcon ProgramIcon();
// The SVG file's bytes, as installed into the desktop's icon theme.
QByteArray ProgramIconSvg();

}  // namespace quelvo
