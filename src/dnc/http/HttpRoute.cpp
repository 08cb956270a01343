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
  if (s[1] != "machines" || s.size() < 4 || s.size() > 5 || s[3] != "queue" || !IsMachineName(s[2])) {
    return route;
  }
  if (s.size() == 4) {
    route = method == "GET" ? Only(method, "GET", RouteKind::kQueueList) : Only(method, "POST", RouteKind::kQueueAdd);
  } else {
    if (!IsPlainName(s[4])) return route;
    route = Only(method, "DELETE", RouteKind::kQueueRemove);
    route.file = s[4];
  }
  route.machine = s[2];
  return route;
}

bool ChangesState(RouteKind kind) { return kind == RouteKind::kQueueAdd || kind == RouteKind::kQueueRemove; }

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
