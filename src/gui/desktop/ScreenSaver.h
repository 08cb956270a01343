// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Switches the desktop's screen saver off while a transfer runs and back on
// after it, through org.freedesktop.ScreenSaver Inhibit/UnInhibit on the session
// bus. Without that service (or without a session bus) both do nothing.
namespace quelvo {

void ScreenSaverOff();
void ScreenSaverOn();

}  // namespace quelvo
