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
// ACM adapter devices present (each already checked the same way).
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

// The items of one port list and the item to select for the stored port text:
// the present ports and "設定ﾎﾟｰﾄ無し" (selected when the stored text is not
// among them), or "有効ﾎﾟｰﾄ無し" alone when no port is present. A stored
// network port text ("tcp://...", "rfc2217://...") follows the present ports
// and is selected.
PortChoice ChoosePort(const std::vector<std::string>& presentPorts, const std::string& storedPort);

// The port text a port list stores: what was typed into it when that is a
// network port text, otherwise the item selected (typing cannot name a local
// port the list does not offer).
std::string PortTextToStore(const std::string& typed, const std::string& selectedItem);

}  // namespace quelvo
