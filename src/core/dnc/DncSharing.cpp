// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncSharing.h"

#include <climits>
#include <cstdlib>
#include <map>

#include "core/transfer/link/PortNames.h"

namespace quelvo {
namespace {

// The path's real location when it exists, else the path without trailing "/".
std::string Identity(const std::string& path) {
  char buffer[PATH_MAX];
  if (!path.empty() && path[0] == '/' && ::realpath(path.c_str(), buffer) != nullptr) return buffer;
  std::string text = path;
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string PortIdentity(const std::string& port) {
  const std::string device = ResolvePortDevice(port, nullptr);
  return Identity(device.empty() ? port : device);
}

// "machines a and b share the KIND X" for each identity more than one machine has.
std::vector<std::string> Shared(const DncConfig& config, const char* kind,
                                std::string (*identity)(const std::string&),
                                const std::string MachineConfig::*field) {
  std::map<std::string, std::vector<const MachineConfig*>> users;
  std::vector<std::string> order;
  for (const MachineConfig& m : config.machines) {
    const std::string key = identity(m.*field);
    if (users[key].empty()) order.push_back(key);
    users[key].push_back(&m);
  }
  std::vector<std::string> lines;
  for (const std::string& key : order) {
    const auto& list = users[key];
    if (list.size() < 2) continue;
    std::string names;
    for (size_t i = 0; i < list.size(); ++i) {
      names += (i == 0 ? "" : i + 1 == list.size() ? " and " : ", ") + list[i]->name;
    }
    lines.push_back("machines " + names + " share the " + kind + " " + list.front()->*field);
  }
  return lines;
}

}  // namespace

DncSharing CheckSharing(const DncConfig& config) {
  DncSharing result;
  for (const std::string& line : Shared(config, "port", PortIdentity, &MachineConfig::port))
    result.errors.push_back(line + ": a line serves one machine");
  for (const std::string& line : Shared(config, "spool", Identity, &MachineConfig::spool))
    result.errors.push_back(line + ": each queued program would be sent to every one of them");
  for (const std::string& line : Shared(config, "inbox", Identity, &MachineConfig::inbox))
    result.notes.push_back(line + "; each stages its receptions apart, no program replaces another");
  return result;
}

}  // namespace quelvo
