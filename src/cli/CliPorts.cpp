// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli ports: the serial ports of this machine.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <map>
#include <ostream>

#include "cli/CliExit.h"
#include "cli/CliUsage.h"
#include "core/port/PortHolders.h"
#include "core/transfer/link/SystemPortProber.h"

namespace quelvo::cli {
namespace {

std::string Resolved(const std::string& path) {
  char real[PATH_MAX];
  return ::realpath(path.c_str(), real) != nullptr ? std::string(real) : std::string();
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// /sys/class/tty/NAME/device/driver -> the driver's name. A built-in UART's
// port device has the generic driver "port"; the chip's driver stands above it.
std::string DriverOf(const std::string& device) {
  std::string path = "/sys/class/tty/" + BaseName(device) + "/device";
  for (int up = 0; up < 3; ++up, path += "/..") {
    const std::string driver = BaseName(Resolved(path + "/driver"));
    if (!driver.empty() && driver != "port") return driver;
  }
  return "-";
}

// A built-in UART slot without a chip reads type 0 ("unknown").
bool UartFitted(const std::string& name) {
  std::ifstream type("/sys/class/tty/" + name + "/type");
  int value = 0;
  return type >> value && value != 0;
}

std::vector<std::string> SerialDevices() {
  std::vector<std::string> devices;
  if (DIR* dir = ::opendir("/dev")) {
    std::vector<std::pair<long, std::string>> builtIn;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.rfind("ttyS", 0) == 0 && name.size() > 4 && UartFitted(name))
        builtIn.emplace_back(std::strtol(name.c_str() + 4, nullptr, 10), "/dev/" + name);
    }
    ::closedir(dir);
    std::sort(builtIn.begin(), builtIn.end());
    for (const auto& device : builtIn) devices.push_back(device.second);
  }
  for (const std::string& path : AdapterDevicePaths("/dev")) devices.push_back(path);
  return devices;
}

// The stable names of /dev/serial/by-id, by the device they stand for.
std::map<std::string, std::string> StableNames() {
  std::map<std::string, std::string> names;
  for (const std::string& link : SerialByIdPaths("/dev/serial/by-id")) names[Resolved(link)] = link;
  return names;
}

// A UUCP lock file of a live process other than this one.
std::string LockHolder(const std::string& realDevice) {
  std::ifstream lock(std::string(kUucpLockFolder) + "/" + UucpLock::FileName(realDevice));
  long pid = 0;
  if (!(lock >> pid) || pid <= 0 || pid == ::getpid()) return {};
  if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return {};
  return "pid " + std::to_string(pid) + " (ロックファイル)";
}

std::string AccessText(const std::string& device) {
  if (::access(device.c_str(), R_OK | W_OK) == 0) return "開けます";
  if (errno == EACCES) return "権限無し (dialout グループに入ってください: sudo usermod -aG dialout $USER、再ログイン後に有効)";
  return std::strerror(errno);
}

}  // namespace

int RunPorts(const std::vector<std::string>& args, CliIo& io) {
  const ParsedArgs parsed = ParseArgs(args, {});
  int status = kCliUsage;
  if (HandleHelpAndUsage(parsed, CliCommands()[3], 0, io, &status)) return status;
  const std::vector<std::string> devices = SerialDevices();
  if (devices.empty()) {
    io.out << "シリアルポートが見つかりません。\n";
    return kCliDone;
  }
  const std::map<std::string, std::string> stable = StableNames();
  for (const std::string& device : devices) {
    const std::string real = RealDevicePath(device);
    const auto name = stable.find(real);
    std::string holder = OtherProcessHolding(real);
    if (holder.empty()) holder = LockHolder(real);
    io.out << device << '\n'
           << "  by-id:    " << (name != stable.end() ? name->second : "-") << '\n'
           << "  ドライバ: " << DriverOf(device) << '\n'
           << "  アクセス: " << AccessText(device) << '\n'
           << "  使用中:   " << (holder.empty() ? "いいえ" : "はい " + holder) << '\n';
  }
  return kCliDone;
}

}  // namespace quelvo::cli
