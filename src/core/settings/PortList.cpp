#include "core/settings/PortList.h"

#include <algorithm>

#include "core/common/NetworkPortText.h"
#include "core/settings/InputFilter.h"

namespace quelvo {

namespace {

bool IsModemPort(const std::string& port, const std::string& modemPort1,
                 const std::string& modemPort2) {
  const std::string upper = UpperAscii(port);
  return (!modemPort1.empty() && upper == UpperAscii(modemPort1)) ||
         (!modemPort2.empty() && upper == UpperAscii(modemPort2));
}

}  // namespace

std::vector<std::string> ListPresentPorts(const PortProber& prober, const std::string& modemPort1,
                                          const std::string& modemPort2) {
  std::vector<std::string> ports;
  for (int n = 1; n <= kHighestComPort; ++n) {
    const std::string name = "COM" + std::to_string(n);
    if (IsModemPort(name, modemPort1, modemPort2)) continue;
    if (prober.probeCom && prober.probeCom(n)) ports.push_back(name);
  }
  if (prober.adapterPaths) {
    for (const std::string& path : prober.adapterPaths()) {
      if (!IsModemPort(path, modemPort1, modemPort2)) ports.push_back(path);
    }
  }
  return ports;
}

PortChoice ChoosePort(const std::vector<std::string>& presentPorts, const std::string& storedPort) {
  PortChoice choice;
  choice.items = presentPorts;
  // A serial line behind a device server is never among the ports found
  // here: it is offered as typed, after them.
  if (ParseNetworkPortText(storedPort)) {
    choice.items.push_back(storedPort);
    choice.selected = static_cast<int>(choice.items.size()) - 1;
    return choice;
  }
  if (choice.items.empty()) {
    choice.items.push_back(kNoUsablePort);
    return choice;
  }
  const auto found = std::find(presentPorts.begin(), presentPorts.end(), storedPort);
  choice.items.push_back(kPortNotPresent);
  choice.selected = static_cast<int>(found - presentPorts.begin());  // the placeholder if not found
  return choice;
}

std::string PortTextToStore(const std::string& typed, const std::string& selectedItem) {
  return ParseNetworkPortText(typed) ? typed : selectedItem;
}

}  // namespace quelvo
