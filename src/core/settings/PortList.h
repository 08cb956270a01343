// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port lists of the communication settings dialog: the ports present now,
// less the modem ports, plus a placeholder that says why the stored port is
// not (or no port is) selectable.
#include <functional>
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"  // kPortNotPresent, kNoUsablePort

namespace quelvo {

constexpr int kHighestComPort = 30;

// How the dialog finds the ports: `probeCom(n)` opens and closes "COMn" at once
// and tells whether it is present and free; `adapterPaths()` names the USB and
// ACM adapter devices present, then their stable names under
// /dev/serial/by-id (each already checked the same way).
struct PortProber {
  std::function<bool(int n)> probeCom;
  std::function<std::vector<std::string>()> adapterPaths;
};

// "COMn" for each n from 1 to 30 that probes true, then the adapter paths.
// A port equal to a modem port (compared without regard to ASCII letter case)
// is left out; modem ports are not even opened, so the device of a modem is
// never disturbed by the dialog.
std::vector<std::string> ListPresentPorts(const PortProber& prober, const std::string& modemPort1,
                                          const std::string& modemPort2);

struct PortChoice {
  std::vector<std::string> items;
  int selected = 0;
};

// "設定ﾎﾟｰﾄ無し" or "有効ﾎﾟｰﾄ無し": list items, never a port.
bool IsPortPlaceholder(const std::string& text);

// A port text that names its port by itself and is kept as written: a device
// path ("/dev/ttyUSB0", "/dev/serial/by-id/...", a pseudo-terminal) or a
// network port text ("tcp://...", "rfc2217://...").
bool IsPortTextAsWritten(const std::string& text);

// The items of one port list and the item to select for the stored port text:
// the present ports and "設定ﾎﾟｰﾄ無し" (selected when the stored text is not
// among them), or "有効ﾎﾟｰﾄ無し" alone when no port is present. A stored port
// text kept as written that is not among the present ports follows them and
// is selected.
PortChoice ChoosePort(const std::vector<std::string>& presentPorts, const std::string& storedPort);

// The port text a port list stores, given what its field shows (`typed`), the
// item selected and the port text stored so far: a port text kept as written
// is stored as typed (blanks around it dropped); otherwise the item selected,
// except that a placeholder never replaces a stored port.
std::string PortTextToStore(const std::string& typed, const std::string& selectedItem,
                            const std::string& storedPort);

}  // namespace quelvo
