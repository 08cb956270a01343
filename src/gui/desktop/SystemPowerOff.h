// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's power-off: logind (org.freedesktop.login1) on the system bus.
// CanPowerOff must answer "yes"; then PowerOff is requested without an
// interactive authorisation prompt. Used as the system callback of PowerOff
// (transfer/PowerOff.h), which runs QUELVO_POWEROFF instead when it is set.
namespace quelvo {

// True when logind accepted the power-off request.
bool LogindPowerOff();

}  // namespace quelvo
