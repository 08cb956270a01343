// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The handshake limits of the driver from the buffer items of the settings.
// Send: Buff_S items "2" .. "500" (XoffLim is the item's number).
// Receive: Buff_R items "128" .. "4096" (XonLim is the item's number).
// An index outside a table gives false and leaves the limits as they are.

namespace quelvo {

bool SendBufferLimits(int buffIndex, int* xonLim, int* xoffLim);
bool ReceiveBufferLimits(int buffIndex, int* xonLim, int* xoffLim);

}  // namespace quelvo
