// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/link/SystemPortProber.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "core/settings/IniFile.h"
#include "core/transfer/link/PortNames.h"

namespace quelvo {

namespace {

// A built-in serial device node exists for every possible UART; the driver
// reports the type "unknown" where no chip is fitted, and such a port is absent.
bool UartBehind(const std::string& device) {
  if (device.rfind("/dev/ttyS", 0) != 0) return true;
  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  const bool present = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  close(fd);
  return present;
}

// "ttyUSB12" -> (0, 12), "ttyACM3" -> (1, 3); other names -> (-1, 0).
std::pair<int, long> AdapterOrder(const std::string& name) {
  static const char* const kPrefixes[] = {"ttyUSB", "ttyACM"};
  for (int kind = 0; kind < 2; ++kind) {
    const std::string prefix = kPrefixes[kind];
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        name.find_first_not_of("0123456789", prefix.size()) == std::string::npos) {
      return {kind, std::strtol(name.c_str() + prefix.size(), nullptr, 10)};
    }
  }
  return {-1, 0};
}

}  // namespace

std::vector<std::string> AdapterDevicePaths(const std::string& devFolder) {
  std::vector<std::pair<std::pair<int, long>, std::string>> found;
  if (DIR* dir = opendir(devFolder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const auto order = AdapterOrder(entry->d_name);
      if (order.first >= 0) found.push_back({order, devFolder + "/" + entry->d_name});
    }
    closedir(dir);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (const auto& item : found) paths.push_back(item.second);
  return paths;
}

std::vector<std::string> SerialByIdPaths(const std::string& byIdFolder) {
  std::vector<std::string> paths;
  if (DIR* dir = opendir(byIdFolder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      const std::string path = byIdFolder + "/" + entry->d_name;
      struct stat st {};
      if (stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) paths.push_back(path);
    }
    closedir(dir);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

PortProber SystemPortProber(const std::string& programIniPath) {
  PortProber prober;
  prober.probeCom = [programIniPath](int n) {
    const IniFile ini(programIniPath);
    const std::string port = "COM" + std::to_string(n);
    const std::string device = ResolvePortDevice(port, &ini);
    return !device.empty() && UartBehind(device) && ProbePort(port, &ini);
  };
  prober.adapterPaths = [] {
    std::vector<std::string> usable;
    for (const std::string& path : AdapterDevicePaths("/dev")) {
      if (ProbePort(path, nullptr)) usable.push_back(path);
    }
    // The names that stay with an adapter whichever socket it is plugged into.
    for (const std::string& path : SerialByIdPaths("/dev/serial/by-id")) {
      if (ProbePort(path, nullptr)) usable.push_back(path);
    }
    return usable;
  };
  return prober;
}

}  // namespace quelvo
