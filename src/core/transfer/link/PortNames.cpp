// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/PortNames.h"

#include <cctype>
#include <cerrno>

#include "core/common/NetworkPortText.h"
#include "core/port/AnySerialPort.h"
#include "core/settings/IniFile.h"

namespace quelvo {
namespace {

// The port number of "COMn" (1 or more), or 0 for any other text.
int ComNumber(const std::string& text) {
  if (text.size() < 4 || text.size() > 6) return 0;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return 0;
  }
  int n = 0;
  for (size_t i = 3; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    n = n * 10 + (text[i] - '0');
  }
  return n;
}

}  // namespace

std::string ResolvePortDevice(const std::string& portText, const IniFile* programIni) {
  // A device path, or a serial line behind a device server, as it stands.
  if (!portText.empty() && portText[0] == '/') return portText;
  if (ParseNetworkPortText(portText)) return portText;
  const int n = ComNumber(portText);
  if (n <= 0) return std::string();
  const std::string key = "COM" + std::to_string(n);
  if (programIni != nullptr) {
    const std::string mapped = programIni->ReadString("Ports", key, "");
    if (!mapped.empty()) return mapped;
  }
  return "/dev/ttyS" + std::to_string(n - 1);
}

bool ProbePort(const std::string& portText, const IniFile* programIni, PortError* error) {
  const std::string device = ResolvePortDevice(portText, programIni);
  if (device.empty()) {
    if (error != nullptr) *error = PortErrorFromOpenErrno(ENOENT);
    return false;
  }
  AnySerialPort port;
  const bool opened = port.Open(device);
  if (!opened && error != nullptr) *error = port.LastError();
  port.Close();
  return opened;
}

}  // namespace quelvo
