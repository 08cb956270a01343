// SPDX-License-Identifier: GPL-3.0-or-later
#include "dnc/http/HttpRoute.h"

#include <vector>

#include "core/dnc/DncConfig.h"
#include "core/dnc/DncNames.h"

namespace quelvo::http {
namespace {

// The path's segments between "/"; an empty segment (a doubled or trailing
// "/") is kept so that "/api//machines" matches nothing.
std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> out;
  size_t pos = 1;
  while (pos <= path.size()) {
    const size_t slash = std::min(path.find('/', pos), path.size());
    out.push_back(path.substr(pos, slash - pos));
    pos = slash + 1;
  }
  return out;
}

Route Only(const std::string& method, const char* wanted, RouteKind kind) {
  Route route;
  route.kind = method == wanted ? kind : RouteKind::kMethodNotAllowed;
  return route;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The routes under /api/machines/NAME/: s[3] names the folder or thing, s[4]
// a plain file name in it, s[5] what to do with that file.
Route MachineRoute(const std::string& method, const std::vector<std::string>& s) {
  Route route;
  const std::string& what = s[3];
  if (s.size() == 4) {
    if (what == "queue")
      return method == "GET" ? Only(method, "GET", RouteKind::kQueueList) : Only(method, "POST", RouteKind::kQueueAdd);
    if (what == "library") return Only(method, "GET", RouteKind::kLibraryList);
    if (what == "inbox") return Only(method, "GET", RouteKind::kInboxList);
    if (what == "log") return Only(method, "GET", RouteKind::kLastLog);
    return route;
  }
  if (what == "notice") {
    return s.size() == 5 && s[4] == "ack" ? Only(method, "POST", RouteKind::kNoticeAck) : route;
  }
  if (!IsPlainName(s[4])) return route;
  const std::string action = s.size() == 6 ? s[5] : "";
  if (what == "queue" && s.size() == 5) {
    route = Only(method, "DELETE", RouteKind::kQueueRemove);
  } else if (what == "queue" && (action == "up" || action == "down")) {
    route = Only(method, "POST", RouteKind::kQueueMove);
    route.steps = action == "up" ? -1 : 1;
  } else if (what == "library" && action == "queue") {
    route = Only(method, "POST", RouteKind::kLibraryQueue);
  } else if (what == "inbox" && s.size() == 5) {
    route = Only(method, "GET", RouteKind::kInboxFile);
  } else if (what == "inbox" && action == "compare") {
    route = Only(method, "GET", RouteKind::kInboxCompare);
  } else {
    return route;
  }
  route.file = s[4];
  return route;
}

}  // namespace

Route ParseRoute(const std::string& method, const std::string& path) {
  Route route;
  if (path.empty() || path[0] != '/') return route;
  if (path == "/" || path == "/index.html" || path == "/app.js" || path == "/style.css") {
    route = Only(method, "GET", RouteKind::kStaticFile);
    route.file = path == "/" ? "index.html" : path.substr(1);
    return route;
  }
  const std::vector<std::string> s = Segments(path);
  if (s.size() < 2 || s[0] != "api") return route;
  if (s.size() == 2 && s[1] == "machines") return Only(method, "GET", RouteKind::kMachines);
  if (s.size() == 2 && s[1] == "events") return Only(method, "GET", RouteKind::kEvents);
  if (s[1] != "machines" || s.size() < 4 || s.size() > 6 || !IsMachineName(s[2])) return route;
  route = MachineRoute(method, s);
  if (route.kind != RouteKind::kNotFound && route.kind != RouteKind::kMethodNotAllowed) route.machine = s[2];
  return route;
}

bool ChangesState(RouteKind kind) {
  switch (kind) {
    case RouteKind::kQueueAdd:
    case RouteKind::kQueueRemove:
    case RouteKind::kQueueMove:
    case RouteKind::kLibraryQueue:
    case RouteKind::kNoticeAck:
      return true;
    default:
      return false;
  }
}

std::string RequestToken(const char* quelvoHeader, const char* authorization) {
  if (quelvoHeader != nullptr && *quelvoHeader != '\0') return Trim(quelvoHeader);
  if (authorization == nullptr) return "";
  const std::string value = Trim(authorization);
  static const std::string kBearer = "Bearer ";
  if (value.size() <= kBearer.size() || value.compare(0, kBearer.size(), kBearer) != 0) return "";
  return Trim(value.substr(kBearer.size()));
}

bool SameToken(const std::string& given, const std::string& expected) {
  if (expected.empty() || given.size() != expected.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < given.size(); ++i) diff |= static_cast<unsigned char>(given[i] ^ expected[i]);
  return diff == 0;
}

std::string TokenFromFileText(const std::string& text) { return Trim(text.substr(0, text.find('\n'))); }

}  // namespace quelvo::http
