// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Port texts of the communication settings onto device paths: a text starting
// with "/" is a device path as it stands; "COMn" is looked up in the optional
// section [Ports] of the program settings file (key "COMn", value a device path),
// otherwise it is /dev/ttyS(n-1). "tcp://HOST:PORT" and "rfc2217://HOST:PORT"
// (a serial line behind a device server) also stand as they are. Any other
// text (the dialog's placeholders) names no device and resolves to "".
#include <string>

#include "core/port/PortError.h"

namespace quelvo {

class IniFile;

// `programIni` may be null (no program settings file).
std::string ResolvePortDevice(const std::string& portText, const IniFile* programIni);

// Opens the named port and closes it at once: true when it could be opened.
// On false, *error (when given) says why.
bool ProbePort(const std::string& portText, const IniFile* programIni, PortError* error = nullptr);

}  // namespace quelvo
