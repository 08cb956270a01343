// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/PortProbe.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "core/transfer/link/PortNames.h"

namespace quelvo {

namespace {
std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}
}  // namespace

void ProbePortsAtExit(const std::string& modemPort1, const std::string& modemPort2) {
  // Window tests close the window on machines whose ports are real.
  if (const char* off = std::getenv("QUELVO_NO_PORT_PROBE"); off != nullptr && *off != '\0') return;
  const IniFile programIni(ProgramSettingsPath());
  const std::string modem1 = Upper(modemPort1);
  const std::string modem2 = Upper(modemPort2);
  for (int n = 1; n <= 30; ++n) {
    const std::string port = "COM" + std::to_string(n);
    // A modem is left alone: opening its port could disturb a call.
    if (port == modem1 || port == modem2) continue;
    ProbePort(port, &programIni);
  }
}

}  // namespace quelvo
