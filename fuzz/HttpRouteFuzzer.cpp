// SPDX-License-Identifier: GPL-3.0-or-later
// The dashboard's request rules on arbitrary methods, paths and headers:
// whatever comes, a route names only a machine name and a plain file name
// (nothing that reaches another folder), and a token is never longer than
// what was sent.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "core/dnc/DncConfig.h"
#include "core/dnc/DncNames.h"
#include "dnc/http/HttpRoute.h"

using namespace quelvo;
using namespace quelvo::http;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  static const char* const kMethods[] = {"GET", "POST", "DELETE", "PUT"};
  const std::string method = kMethods[in.Between(0, 3)];
  std::string text = in.Rest();
  const size_t split = text.find('\n');
  const std::string path = text.substr(0, split);
  const std::string header = split == std::string::npos ? "" : text.substr(split + 1);

  const Route route = ParseRoute(method, path);
  if (!route.machine.empty()) fuzz::Check(IsMachineName(route.machine), "IsMachineName(route.machine)");
  if (!route.file.empty() && route.kind != RouteKind::kStaticFile)
    fuzz::Check(IsPlainName(route.file), "IsPlainName(route.file)");
  if (route.kind == RouteKind::kQueueRemove || route.kind == RouteKind::kQueueMove ||
      route.kind == RouteKind::kLibraryQueue || route.kind == RouteKind::kInboxFile ||
      route.kind == RouteKind::kInboxCompare)
    fuzz::Check(!route.file.empty(), "a file route names its file");
  if (route.kind == RouteKind::kQueueMove) fuzz::Check(route.steps == -1 || route.steps == 1, "steps is one place");
  if (route.kind == RouteKind::kStaticFile) {
    fuzz::Check(route.file == "index.html" || route.file == "app.js" || route.file == "style.css", "route.file == 'index.html' || route.file == 'app.js' || route.file == 'style.css'");
  }
  if (ChangesState(route.kind)) fuzz::Check(method == "POST" || method == "DELETE", "method == 'POST' || method == 'DELETE'");

  const std::string token = RequestToken(header.c_str(), nullptr);
  fuzz::Check(token.size() <= header.size(), "token.size() <= header.size()");
  const std::string bearer = RequestToken(nullptr, header.c_str());
  fuzz::Check(bearer.size() <= header.size(), "bearer.size() <= header.size()");
  fuzz::Check(!SameToken(token, ""), "!SameToken(token, '')");
  TokenFromFileText(header);

  std::string host;
  int port = 0;
  if (ParseListenAddress(path, &host, &port)) fuzz::Check(port >= 1 && port <= 65535 && !host.empty(), "port >= 1 && port <= 65535 && !host.empty()");
  return 0;
}
