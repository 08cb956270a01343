// SPDX-License-Identifier: GPL-3.0-or-later
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

bool IsPortPlaceholder(const std::string& text) { return text == kPortNotPresent || text == kNoUsablePort; }

bool IsPortTextAsWritten(const std::string& text) {
  return (!text.empty() && text[0] == '/') || ParseNetworkPortText(text).has_value();
}

PortChoice ChoosePort(const std::vector<std::string>& presentPorts, const std::string& storedPort) {
  PortChoice choice;
  choice.items = presentPorts;
  const auto found = std::find(presentPorts.begin(), presentPorts.end(), storedPort);
  // A device path of a port not present now (unplugged, a pseudo-terminal,
  // a name the search does not reach) and a serial line behind a device server
  // are offered as stored, after the ports present, so a save keeps them.
  if (found == presentPorts.end() && IsPortTextAsWritten(storedPort)) {
    choice.items.push_back(storedPort);
    choice.selected = static_cast<int>(choice.items.size()) - 1;
    return choice;
  }
  if (choice.items.empty()) {
    choice.items.push_back(kNoUsablePort);
    return choice;
  }
  choice.items.push_back(kPortNotPresent);
  choice.selected = static_cast<int>(found - presentPorts.begin());  // the placeholder if not found
  return choice;
}

std::string PortTextToStore(const std::string& typed, const std::string& selectedItem,
                            const std::string& storedPort) {
  const size_t first = typed.find_first_not_of(" \t");
  const std::string trimmed =
      first == std::string::npos ? std::string() : typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
  if (IsPortTextAsWritten(trimmed)) return trimmed;
  // A placeholder only says the list had nothing better to show.
  if (IsPortPlaceholder(selectedItem) && !storedPort.empty() && !IsPortPlaceholder(storedPort)) {
    return storedPort;
  }
  return selectedItem;
}

}  // namespace quelvo
