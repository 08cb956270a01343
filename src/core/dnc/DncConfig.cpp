// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/DncConfig.h"

#include "core/common/AtomicFile.h"
#include "core/common/UniqueFile.h"
#include "core/dnc/DncRequest.h"

namespace quelvo {
namespace {

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

std::string Resolve(const std::string& base, const std::string& path) {
  if (path.empty() || path[0] == '/' || base.empty()) return path;
  return base + "/" + path;
}

bool ParseYesNo(const std::string& value, bool* out) {
  if (value == "yes" || value == "true" || value == "1") {
    *out = true;
  } else if (value == "no" || value == "false" || value == "0") {
    *out = false;
  } else {
    return false;
  }
  return true;
}

// Applies one key of a [machine] section; false for an unknown key or value.
bool SetMachineKey(MachineConfig& m, const std::string& key, const std::string& value,
                   const std::string& base) {
  if (key == "port") {
    m.port = value;
  } else if (key == "setting") {
    m.settingFile = Resolve(base, value);
  } else if (key == "library") {
    m.library = Resolve(base, value);
  } else if (key == "inbox") {
    m.inbox = Resolve(base, value);
  } else if (key == "spool") {
    m.spool = Resolve(base, value);
  } else if (key == "osp") {
    return ParseYesNo(value, &m.osp);
  } else if (key == "request_rule") {
    m.requestRule = value;
  } else if (key == "request_missing") {
    m.requestMissing = value.empty() ? "" : Resolve(base, value);
  } else {
    return false;
  }
  return true;
}

bool SetServiceKey(DncConfig& c, const std::string& key, const std::string& value, const std::string& base) {
  if (key == "state_dir") {
    c.stateDir = Resolve(base, value);
  } else if (key == "log_dir") {
    c.logDir = Resolve(base, value);
  } else if (key == "library") {
    c.library = value.empty() ? std::string() : Resolve(base, value);
  } else if (key == "library_remote") {
    c.libraryRemote = value;
  } else if (key == "retry_seconds") {
    if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    c.retrySeconds = std::stoi(value);
    if (c.retrySeconds < 1) return false;
  } else {
    return false;
  }
  return true;
}

bool ParseBoundedNumber(const std::string& value, long low, long high, long* out) {
  if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *out = std::stol(value);
  return *out >= low && *out <= high;
}

bool SetHttpKey(HttpConfig& h, const std::string& key, const std::string& value, const std::string& base) {
  long number = 0;
  if (key == "listen") {
    std::string host;
    int port = 0;
    if (!ParseListenAddress(value, &host, &port)) return false;
    h.listen = value;
  } else if (key == "token_file") {
    h.tokenFile = Resolve(base, value);
  } else if (key == "public_read") {
    return ParseYesNo(value, &h.publicRead);
  } else if (key == "max_upload_kb") {
    if (!ParseBoundedNumber(value, 1, 1024L * 1024, &number)) return false;
    h.maxUploadBytes = number * 1024;
  } else if (key == "max_clients") {
    if (!ParseBoundedNumber(value, 1, 1000, &number)) return false;
    h.maxClients = static_cast<int>(number);
  } else if (key == "timeout_seconds") {
    if (!ParseBoundedNumber(value, 1, 3600, &number)) return false;
    h.timeoutSeconds = static_cast<int>(number);
  } else if (key == "cert_file") {
    h.certFile = Resolve(base, value);
  } else if (key == "key_file") {
    h.keyFile = Resolve(base, value);
  } else if (key == "web_dir") {
    h.webDir = Resolve(base, value);
  } else {
    return false;
  }
  return true;
}

std::string CheckMachine(const MachineConfig& m) {
  const std::pair<const char*, const std::string*> required[] = {{"port", &m.port},
                                                                 {"setting", &m.settingFile},
                                                                 {"library", &m.library},
                                                                 {"inbox", &m.inbox},
                                                                 {"spool", &m.spool}};
  for (const auto& [key, value] : required) {
    if (value->empty()) return "machine " + m.name + ": " + key + " is missing";
  }
  if (const std::string problem = RequestRuleProblem(m.requestRule); !problem.empty()) {
    return "machine " + m.name + ": " + problem;
  }
  return "";
}

}  // namespace

const MachineConfig* DncConfig::Find(const std::string& name) const {
  for (const MachineConfig& m : machines) {
    if (m.name == name) return &m;
  }
  return nullptr;
}

bool ParseListenAddress(const std::string& text, std::string* host, int* port) {
  size_t colon = std::string::npos;
  if (!text.empty() && text[0] == '[') {
    const size_t close = text.find(']');
    if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':') return false;
    *host = text.substr(1, close - 1);
    colon = close + 1;
  } else {
    colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    *host = text.substr(0, colon);
  }
  if (host->empty() || host->find_first_of(" \t/") != std::string::npos) return false;
  long number = 0;
  if (!ParseBoundedNumber(text.substr(colon + 1), 1, 65535, &number)) return false;
  *port = static_cast<int>(number);
  return true;
}

bool IsMachineName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name[0] == '.') return false;
  return name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.") ==
         std::string::npos;
}

bool ParseDncConfig(std::string_view text, const std::string& baseFolder, DncConfig* config,
                    std::string* error) {
  DncConfig c;
  enum class Section { kNone, kService, kMachine, kHttp } section = Section::kNone;
  int lineNumber = 0;
  const auto fail = [&](const std::string& reason) {
    *error = "line " + std::to_string(lineNumber) + ": " + reason;
    return false;
  };
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    const std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    ++lineNumber;
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return fail("a section name needs a closing ]");
      const std::string name = Trim(line.substr(1, line.size() - 2));
      if (name == "service") {
        section = Section::kService;
      } else if (name == "http") {
        section = Section::kHttp;
      } else if (name.rfind("machine ", 0) == 0) {
        const std::string machine = Trim(name.substr(8));
        if (!IsMachineName(machine)) return fail("bad machine name \"" + machine + "\"");
        if (c.Find(machine) != nullptr) return fail("machine " + machine + " appears twice");
        c.machines.push_back(MachineConfig{});
        c.machines.back().name = machine;
        section = Section::kMachine;
      } else {
        return fail("unknown section [" + name + "]");
      }
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return fail("expected key = value");
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    const bool ok = section == Section::kService   ? SetServiceKey(c, key, value, baseFolder)
                    : section == Section::kMachine ? SetMachineKey(c.machines.back(), key, value, baseFolder)
                    : section == Section::kHttp    ? SetHttpKey(c.http, key, value, baseFolder)
                                                   : false;
    if (!ok) return fail("unknown key or bad value: " + key);
  }
  if (c.machines.empty()) {
    *error = "no [machine NAME] section";
    return false;
  }
  if (c.http.certFile.empty() != c.http.keyFile.empty()) {
    *error = "http: cert_file and key_file go together";
    return false;
  }
  for (const MachineConfig& m : c.machines) {
    if (const std::string reason = CheckMachine(m); !reason.empty()) {
      *error = reason;
      return false;
    }
  }
  *config = std::move(c);
  return true;
}

bool LoadDncConfig(const std::string& path, DncConfig* config, std::string* error) {
  std::string bytes, reason;
  if (!ReadWholeFile(path, &bytes, &reason)) {
    *error = path + ": " + reason;
    return false;
  }
  if (!ParseDncConfig(bytes, FolderOfFile(path), config, &reason)) {
    *error = path + ": " + reason;
    return false;
  }
  return true;
}

}  // namespace quelvo
